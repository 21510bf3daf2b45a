// SHA-256 through CNG as upper-case hexadecimal, and its failure box.

#include <gtest/gtest.h>
#include <windows.h>

#include <bcrypt.h>

#include "certs/FormatErrorText.h"
#include "certs/HashToHex.h"
#include "tests/console/MessageBoxWatcher.h"

using namespace varnok;

TEST(HashToHex, EmptyRangeIsEmptyTextWithoutABox) {
  MessageBoxWatcher boxes;
  EXPECT_EQ(HashToHex("", 0, L"SHA256", nullptr), L"");
  Sleep(200);
  EXPECT_TRUE(boxes.SeenSoFar().empty());
}

TEST(HashToHex, KnownDigestsInUpperCase) {
  EXPECT_EQ(HashToHex("a", 1, L"SHA256", nullptr),
            L"CA978112CA1BBDCAFAC231B39A23DC4DA786EFF8147C4E72B9807785AFEE48BB");
  // Bytes with leading zero digits keep them.
  const std::string abc = "abc";
  EXPECT_EQ(HashToHex(abc.data(), 3, L"SHA256", nullptr),
            L"BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
  // A URL's UTF-16 text names a download: two bytes per character.
  const std::wstring url = L"A";
  EXPECT_EQ(HashToHex(url.data(), 2, L"SHA256", nullptr), HashToHex("A\0", 2, L"SHA256", nullptr));
}

TEST(HashToHex, UnknownAlgorithmShowsOneBoxAndGivesEmptyText) {
  // The status the provider gives for the name, taken from the system.
  BCRYPT_ALG_HANDLE probe = nullptr;
  const NTSTATUS status = BCryptOpenAlgorithmProvider(&probe, L"sha256", nullptr, 0);
  ASSERT_LT(status, 0);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  for (HMODULE module : {static_cast<HMODULE>(nullptr), ntdll}) {
    MessageBoxWatcher boxes;
    EXPECT_EQ(HashToHex("a", 1, L"sha256", module), L"");
    Sleep(300);
    const auto seen = boxes.SeenSoFar();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].owner, nullptr);
    EXPECT_EQ(seen[0].caption, L"");
    EXPECT_EQ(seen[0].text, FormatErrorText(static_cast<std::uint32_t>(status), module));
  }
}
