#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "exchange/LeadingNumberReader.h"

// The rendering of the receive buffer, kept alongside it. Each token depends on its character
// alone, so the line grows by the tokens of the new characters only, and the pressure reading
// follows the line as it grows: a receive event costs the same with the buffer empty or full.
class ReceiveLine {
 public:
  // Renders the characters of `buffer` past those rendered so far. The buffer must still begin
  // with them; after it has been emptied, Restart first.
  void CatchUp(std::string_view buffer);
  void Restart();

  const std::string& Text() const { return text_; }  // equals Render(buffer)
  std::size_t Characters() const { return characters_; }
  double Reading() const { return reading_.Value(); }  // equals LeadingNumber(Text())

 private:
  std::string text_ = " ";
  std::size_t characters_ = 0;
  LeadingNumberReader reading_;
};
