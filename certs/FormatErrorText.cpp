#include "certs/FormatErrorText.h"

namespace varnok {

std::wstring LowerHex(std::uint32_t value) {
  static const wchar_t kDigits[] = L"0123456789abcdef";
  wchar_t reversed[8];
  int count = 0;
  do {
    reversed[count++] = kDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  std::wstring text;
  while (count > 0) text.push_back(reversed[--count]);
  return text;
}

std::wstring FormatErrorText(std::uint32_t code, HMODULE module) {
  if (code == 0) return std::wstring();

  const DWORD flags = module != nullptr
                          ? FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                                FORMAT_MESSAGE_FROM_HMODULE
                          : FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                                FORMAT_MESSAGE_FROM_SYSTEM;
  wchar_t* systemText = nullptr;
  const DWORD length =
      FormatMessageW(flags, module, code, 0, reinterpret_cast<wchar_t*>(&systemText), 0, nullptr);
  std::wstring result;
  if (length != 0 && systemText != nullptr) {
    result = L"Msg: ";
    result.append(systemText, length);
    result += L"\nError 0x";
  } else {
    result = L"Error 0x";
  }
  if (systemText != nullptr) LocalFree(systemText);
  result += LowerHex(code);
  return result;
}

}  // namespace varnok
