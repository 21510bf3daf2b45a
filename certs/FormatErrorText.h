#pragma once
// The one error-text format of the certificate services: "Msg: ", the
// system's text, a line feed, "Error 0x" and the code in lower-case
// hexadecimal; or only "Error 0x" and the code when there is no text.

#include <windows.h>

#include <cstdint>
#include <string>

namespace varnok {

// Text of `code`, searched in the message table of `module` when it is given
// (the system's table is then not consulted), in the system's table
// otherwise. Code 0 gives empty text. Never fails.
std::wstring FormatErrorText(std::uint32_t code, HMODULE module = nullptr);

// `value` as unsigned lower-case hexadecimal without leading zeros.
std::wstring LowerHex(std::uint32_t value);

}  // namespace varnok
