#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "KeyStorageProviders.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

TEST(KeyStorageProviders, ListIncludesTheSoftwareProvider) {
  const auto names = varnok::KeyStorageProviderNames();
  ASSERT_TRUE(names.has_value());
  EXPECT_THAT(*names, Contains(L"Microsoft Software Key Storage Provider"));
}

// Under Wine the system cannot list its providers (the call ends the
// process), so the list is the documented Microsoft one; on Windows it is
// the system's own.
TEST(KeyStorageProviders, UnderWineTheDocumentedMicrosoftProviders) {
  if (!varnok::RunningUnderWine()) GTEST_SKIP() << "Windows lists its own providers";
  EXPECT_THAT(*varnok::KeyStorageProviderNames(),
              ElementsAre(L"Microsoft Software Key Storage Provider",
                          L"Microsoft Smart Card Key Storage Provider",
                          L"Microsoft Platform Crypto Provider"));
}

}  // namespace
