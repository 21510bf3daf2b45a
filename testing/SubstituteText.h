#pragma once
// The text form shared by the substitute library's call log and script:
// UTF-8 lines in which a backslash, tab, CR, LF, other control characters
// and unpaired surrogates are written as escapes (\\ \t \r \n \uXXXX), so
// that every wide text, whatever it holds, survives the round trip exactly.

#include <string>

namespace tessel_substitute {

std::string EscapeText(const std::wstring& text);
std::wstring UnescapeText(const std::string& escaped);

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace tessel_substitute
