#pragma once
// One-shot digest of a byte range through CNG, as upper-case hexadecimal.

#include <windows.h>

#include <cstdint>
#include <string>

namespace varnok {

// Digest of `byteCount` bytes at `data` with the CNG algorithm
// `algorithmName` ("SHA256"), two upper-case hexadecimal digits per byte.
// Empty text for an empty range (nothing is opened) and when a CNG call
// fails; a failure is shown at once in an ownerless message box with an
// empty caption, its text FormatErrorText(status, messageModule).
std::wstring HashToHex(const void* data, std::int32_t byteCount, const wchar_t* algorithmName,
                       HMODULE messageModule);

// The signature of HashToHex, for callers that take the hashing operation as
// a parameter.
using HashFunction = std::wstring (*)(const void* data, std::int32_t byteCount,
                                      const wchar_t* algorithmName, HMODULE messageModule);

}  // namespace varnok
