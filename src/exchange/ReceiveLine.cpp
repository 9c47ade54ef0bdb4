#include "exchange/ReceiveLine.h"

#include "exchange/Render.h"

void ReceiveLine::CatchUp(std::string_view buffer) {
  if (buffer.size() <= characters_) return;
  const std::size_t before = text_.size();
  AppendTokens(text_, buffer.substr(characters_));
  reading_.Feed(std::string_view(text_).substr(before));
  characters_ = buffer.size();
}

void ReceiveLine::Restart() {
  text_.assign(1, ' ');  // keeps its capacity: a babbling device does not reallocate it each time
  characters_ = 0;
  reading_.Reset();
}
