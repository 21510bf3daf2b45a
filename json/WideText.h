// The UTF-16 code unit of the wide interface: wchar_t where it is 16 bits
// wide (Windows), char16_t elsewhere.
#pragma once

#include <type_traits>

namespace rozazar {

using WideChar = std::conditional_t<sizeof(wchar_t) == sizeof(char16_t), wchar_t, char16_t>;

}  // namespace rozazar
