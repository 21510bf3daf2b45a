#pragma once
// A wide-text buffer the console hands to the library to write into. It is
// zero-filled (or holds an initial text) before the call; afterwards Text()
// reads it back without trusting the library: the last character of the room
// is forced to zero first, so a text written without a terminator ends there
// and nothing past the buffer is ever read.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class OutputBuffer {
 public:
  // `room`: characters, terminator included (at least one). `initial` is
  // copied in, cut to room - 1 characters; the rest stays zero.
  explicit OutputBuffer(std::size_t room, std::wstring_view initial = {})
      : chars_(std::max<std::size_t>(room, 1), L'\0') {
    std::copy_n(initial.data(), std::min(initial.size(), chars_.size() - 1), chars_.begin());
  }

  wchar_t* Data() { return chars_.data(); }
  std::size_t Room() const { return chars_.size(); }

  // The buffer's text up to its first zero, after terminating it at its last
  // character.
  std::wstring Text() {
    chars_.back() = L'\0';
    return std::wstring(chars_.data());
  }

 private:
  std::vector<wchar_t> chars_;
};
