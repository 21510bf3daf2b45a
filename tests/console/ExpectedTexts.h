#pragma once
// Expected error texts, built from what the system says at run time, so that
// the expectations hold on Windows and under Wine alike.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

inline std::wstring ExpectedErrorText(std::uint32_t code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  wchar_t hex[16];
  swprintf(hex, 16, L"%x", static_cast<unsigned>(code));
  std::wstring result = length != 0 ? L"Msg: " + std::wstring(text, length) + L"\n" : L"";
  if (text != nullptr) LocalFree(text);
  return result + L"Error 0x" + hex;
}
