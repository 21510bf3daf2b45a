#include <gtest/gtest.h>

#include "certs/CommonLibrary.h"

namespace {

using varnok::CommonLibrary;

TEST(CommonLibrary, MissingLibraryLeavesModuleNullAndRecordsTheError) {
  CommonLibrary library(L"no-such-library-4711.dll");
  EXPECT_EQ(library.Module(), nullptr);
  EXPECT_EQ(library.lastError, static_cast<std::uint32_t>(ERROR_MOD_NOT_FOUND));

  // Look-ups on it return null and keep the load error.
  EXPECT_EQ(library.ProcAddress(L"GetTickCount"), nullptr);
  EXPECT_EQ(library.lastError, static_cast<std::uint32_t>(ERROR_MOD_NOT_FOUND));
}

TEST(CommonLibrary, LoadsAndResolvesExports) {
  CommonLibrary library(L"kernel32.dll");
  ASSERT_NE(library.Module(), nullptr);
  EXPECT_EQ(library.lastError, 0u);
  EXPECT_EQ(library.ProcAddress(L"GetTickCount"),
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount"));
  EXPECT_EQ(library.lastError, 0u);
}

TEST(CommonLibrary, MissingExportRecordsTheLookUpError) {
  CommonLibrary library(L"kernel32.dll");
  ASSERT_NE(library.Module(), nullptr);
  EXPECT_EQ(library.ProcAddress(L"NoSuchExport4711"), nullptr);
  EXPECT_EQ(library.lastError, static_cast<std::uint32_t>(ERROR_PROC_NOT_FOUND));
  // A later successful look-up does not clear the recorded error.
  EXPECT_NE(library.ProcAddress(L"GetTickCount"), nullptr);
  EXPECT_EQ(library.lastError, static_cast<std::uint32_t>(ERROR_PROC_NOT_FOUND));
}

TEST(CommonLibrary, NullNameReturnsNullAndKeepsLastError) {
  CommonLibrary library(L"kernel32.dll");
  library.lastError = 42;
  EXPECT_EQ(library.ProcAddress(nullptr), nullptr);
  EXPECT_EQ(library.lastError, 42u);
}

TEST(CommonLibrary, DestructorReleasesTheLibrary) {
  // A library nobody else holds: after the holder ends, it is unloaded.
  ASSERT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr);
  {
    CommonLibrary library(L"msimg32.dll");
    ASSERT_NE(library.Module(), nullptr);
    EXPECT_EQ(GetModuleHandleW(L"msimg32.dll"), library.Module());
  }
  EXPECT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr);
}

TEST(CommonLibrary, ExportNamesGoThroughTheThreadAnsiCodePage) {
  const LCID saved = GetThreadLocale();
  CommonLibrary library(L"TesselAnsiExports.dll");
  ASSERT_NE(library.Module(), nullptr) << library.lastError;

  // Bulgarian: code page 1251 holds the Cyrillic name.
  SetThreadLocale(MAKELCID(MAKELANGID(LANG_BULGARIAN, SUBLANG_DEFAULT), SORT_DEFAULT));
  using Export = int(__cdecl*)();
  FARPROC address = library.ProcAddress(L"Функция");
  ASSERT_NE(address, nullptr);
  EXPECT_EQ(library.lastError, 0u);
  EXPECT_EQ(reinterpret_cast<Export>(reinterpret_cast<void (*)()>(address))(), 1026);

  // US English: code page 1252 has no Cyrillic, the name becomes question marks.
  SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
  EXPECT_EQ(library.ProcAddress(L"Функция"), nullptr);
  EXPECT_EQ(library.lastError, static_cast<std::uint32_t>(ERROR_PROC_NOT_FOUND));
  SetThreadLocale(saved);
}

}  // namespace
