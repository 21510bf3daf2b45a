#include <gtest/gtest.h>

#include "CommonLibrary.h"

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

}  // namespace
