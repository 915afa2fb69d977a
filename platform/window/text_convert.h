// cp932 (the library's text) to and from UTF-8 (SDL's text).
#pragma once

#include <string>

namespace platform::window {

// Bytes that do not convert become "?".
std::string Cp932ToUtf8(const std::string& text);
std::string Utf8ToCp932(const std::string& text);

}  // namespace platform::window
