// The content element of a signed message, read from its structure.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "certs/EncapsulatedContent.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// ContentInfo { signedData, [0] SignedData { 1, {}, { data, `content` } } },
// with definite lengths.
Bytes DefiniteMessage(const Bytes& content) {
  Bytes encapsulated = {0x06, 0x09, 0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x07, 0x01};
  encapsulated.insert(encapsulated.end(), content.begin(), content.end());
  Bytes signedData = {
      0x02, 0x01, 0x01, 0x31, 0x00, 0x30, static_cast<std::uint8_t>(encapsulated.size())};
  signedData.insert(signedData.end(), encapsulated.begin(), encapsulated.end());
  Bytes explicitZero = {0x30, static_cast<std::uint8_t>(signedData.size())};
  explicitZero.insert(explicitZero.end(), signedData.begin(), signedData.end());
  Bytes info = {0x06,
                0x09,
                0x2A,
                0x86,
                0x48,
                0x86,
                0xF7,
                0x0D,
                0x01,
                0x07,
                0x02,
                0xA0,
                static_cast<std::uint8_t>(explicitZero.size())};
  info.insert(info.end(), explicitZero.begin(), explicitZero.end());
  Bytes message = {0x30, static_cast<std::uint8_t>(info.size())};
  message.insert(message.end(), info.begin(), info.end());
  return message;
}

bool Carries(const Bytes& message) {
  return varnok::CarriesEncapsulatedContent(message.data(), message.size());
}

}  // namespace

TEST(EncapsulatedContent, PresentEvenWhenEmptyAbsentWhenDetached) {
  const Bytes emptyContent = {0xA0, 0x02, 0x04, 0x00};
  EXPECT_TRUE(Carries(DefiniteMessage(emptyContent)));
  EXPECT_TRUE(Carries(DefiniteMessage({0xA0, 0x03, 0x04, 0x01, 'x'})));
  EXPECT_FALSE(Carries(DefiniteMessage({})));

  // Indefinite lengths throughout, the digest algorithms' set included.
  const Bytes indefinite = {
      0x30, 0x80, 0x06, 0x09, 0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x07, 0x02,  //
      0xA0, 0x80, 0x30, 0x80, 0x02, 0x01, 0x01, 0x31, 0x80, 0x30, 0x00, 0x00, 0x00,  //
      0x30, 0x80, 0x06, 0x09, 0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x07, 0x01,  //
      0xA0, 0x80, 0x24, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x00};
  EXPECT_TRUE(Carries(indefinite));
  Bytes detached(indefinite.begin(), indefinite.begin() + 39);
  detached.insert(detached.end(), 8, 0x00);
  EXPECT_FALSE(Carries(detached));
}

TEST(EncapsulatedContent, TruncatedOrMalformedMessagesCarryNothing) {
  const Bytes whole = DefiniteMessage({0xA0, 0x02, 0x04, 0x00});
  for (size_t size = 0; size < whole.size(); ++size) {
    const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(Carries(prefix)) << size;
  }
  EXPECT_FALSE(varnok::CarriesEncapsulatedContent(nullptr, 0));
  // A length past the end, a long form of five octets, a multi-byte tag.
  Bytes tooLong = whole;
  tooLong[1] = 0x7F;
  EXPECT_FALSE(Carries(tooLong));
  EXPECT_FALSE(Carries({0x30, 0x85, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00}));
  EXPECT_FALSE(Carries({0x3F, 0x01, 0x00}));
  // Nested indefinite sets without their end-of-contents marks.
  Bytes unended = {0x30, 0x80, 0x06, 0x01, 0x00, 0xA0, 0x80, 0x30, 0x80, 0x02, 0x01, 0x01};
  for (int i = 0; i < 200; ++i) unended.insert(unended.end(), {0x31, 0x80});
  EXPECT_FALSE(Carries(unended));
}
