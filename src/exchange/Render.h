#pragma once

#include <string>
#include <string_view>

// The display form of a frame or of the receive buffer: a leading blank, then one token per
// character. The reply decoders cut fixed positions out of this form.
std::string Render(std::string_view text);

// Appends the tokens of `text` (no leading blank) to `line`. Each character's token depends on
// that character alone, so a rendered line grows by the rendering of its new characters.
void AppendTokens(std::string& line, std::string_view text);
