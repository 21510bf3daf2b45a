#include <gtest/gtest.h>

#include "certs/CommonClass.h"
#include "certs/FormatErrorText.h"

namespace {

using varnok::FormatErrorText;

// The code of the message table linked into this test program.
constexpr std::uint32_t kTableCode = 0x20000001;

// What the system itself says about `code`, asked the same way the services
// ask, so that the expectations hold on Windows and under Wine alike.
std::wstring SystemText(std::uint32_t code, HMODULE module) {
  const DWORD source = module != nullptr ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM;
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | source,
                     module, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring result = length != 0 ? std::wstring(text, length) : std::wstring();
  if (text != nullptr) LocalFree(text);
  return result;
}

std::wstring Expected(std::uint32_t code, HMODULE module, const wchar_t* hex) {
  const std::wstring text = SystemText(code, module);
  if (text.empty()) return std::wstring(L"Error 0x") + hex;
  return L"Msg: " + text + L"\nError 0x" + hex;
}

class Probe : public varnok::CommonClass {};

TEST(FormatErrorText, CodeZeroIsEmptyWithOrWithoutModule) {
  EXPECT_EQ(FormatErrorText(0, nullptr), L"");
  EXPECT_EQ(FormatErrorText(0, GetModuleHandleW(nullptr)), L"");
}

TEST(FormatErrorText, SystemTextsAsTheSystemGivesThem) {
  // Access denied has a system text everywhere; the text keeps its CR LF.
  ASSERT_FALSE(SystemText(5, nullptr).empty());
  EXPECT_EQ(FormatErrorText(5), Expected(5, nullptr, L"5"));
  EXPECT_EQ(FormatErrorText(0x7E), Expected(0x7E, nullptr, L"7e"));
  // A CryptoAPI code: Windows has a text, Wine has none.
  EXPECT_EQ(FormatErrorText(0x80092012), Expected(0x80092012, nullptr, L"80092012"));
}

TEST(FormatErrorText, CodeWithoutAnyTextIsTheNumberAlone) {
  ASSERT_TRUE(SystemText(0x2FFFFFFF, nullptr).empty());
  EXPECT_EQ(FormatErrorText(0x2FFFFFFF), L"Error 0x2fffffff");
}

TEST(FormatErrorText, ModuleTableIsSearchedInsteadOfTheSystems) {
  const HMODULE self = GetModuleHandleW(nullptr);
  EXPECT_EQ(FormatErrorText(kTableCode, self), L"Msg: Test table text\r\n\nError 0x20000001");
  // Code 5 has a system text, but the module's table lacks it: no fallback.
  EXPECT_EQ(FormatErrorText(5, self), L"Error 0x5");
  // The module table is not consulted without a module.
  EXPECT_EQ(FormatErrorText(kTableCode), Expected(kTableCode, nullptr, L"20000001"));
}

TEST(FormatErrorText, ModuleWithoutMessageTableGivesTheNumberAlone) {
  // Wine's ntdll has no message table; Windows' has one with texts for NTSTATUS
  // codes. Either way the result is what FormatMessageW finds there.
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  EXPECT_EQ(FormatErrorText(0xC0000002, ntdll), Expected(0xC0000002, ntdll, L"c0000002"));
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  EXPECT_EQ(FormatErrorText(0x2FFFFFFF, kernel32), L"Error 0x2fffffff");
}

TEST(LowerHex, NoLeadingZerosLowerCase) {
  EXPECT_EQ(varnok::LowerHex(0), L"0");
  EXPECT_EQ(varnok::LowerHex(5), L"5");
  EXPECT_EQ(varnok::LowerHex(0x7E), L"7e");
  EXPECT_EQ(varnok::LowerHex(0x80092012), L"80092012");
  EXPECT_EQ(varnok::LowerHex(0xFFFFFFFF), L"ffffffff");
}

TEST(CommonClass, FreshObjectHasNoErrorAndEmptyErrorText) {
  Probe probe;
  EXPECT_EQ(probe.lastError, 0u);
  EXPECT_EQ(probe.ErrorText(), L"");
}

TEST(CommonClass, ErrorTextFormatsLastError) {
  Probe probe;
  probe.lastError = 0x80092012;
  EXPECT_EQ(probe.ErrorText(), FormatErrorText(0x80092012));
}

TEST(CommonClass, DiagnosticTextWithoutErrorEndsWithTheSecondLineFeed) {
  Probe probe;
  EXPECT_EQ(probe.DiagnosticText(L"a.cpp", 7), L"File - a.cpp\nLine - 7\n");
  EXPECT_EQ(probe.DiagnosticText(L"b.cpp", -120), L"File - b.cpp\nLine - -120\n");
  EXPECT_EQ(probe.DiagnosticText(nullptr, 0), L"File - \nLine - 0\n");
}

TEST(CommonClass, DiagnosticTextEndsWithTheErrorText) {
  Probe probe;
  probe.lastError = 5;
  EXPECT_EQ(probe.DiagnosticText(L"c:\\src\\x.cpp", 2147483647),
            L"File - c:\\src\\x.cpp\nLine - 2147483647\n" + FormatErrorText(5));
}

}  // namespace
