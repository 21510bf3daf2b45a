#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "certs/KeyStorageProviders.h"
#include "foundation/platform/Platform.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

// Windows lists its own providers, the software one always among them.
// Under Wine the system cannot list them (the call ends the process), so the
// list is the documented Microsoft one.
TEST(KeyStorageProviders, ListsTheSystemsProviders) {
  const auto names = varnok::KeyStorageProviderNames();
  ASSERT_TRUE(names.has_value());
  if (rozazar::platform::runningUnderWine()) {
    EXPECT_THAT(*names, ElementsAre(L"Microsoft Software Key Storage Provider",
                                    L"Microsoft Smart Card Key Storage Provider",
                                    L"Microsoft Platform Crypto Provider"));
  } else {
    EXPECT_THAT(*names, Contains(L"Microsoft Software Key Storage Provider"));
  }
}

}  // namespace
