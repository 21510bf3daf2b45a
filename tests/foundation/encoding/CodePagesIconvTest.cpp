// The code-page tables against glibc's iconv on this machine: every byte
// sequence decodes as iconv decodes it, and every character is written as
// iconv writes it. Pages taken from another source that iconv agrees with
// are checked as well.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "foundation/encoding/TableCodec.h"
#include "tests/foundation/encoding/CodePageTestSupport.h"

namespace rozazar::encoding {
namespace {

using namespace rozazar::encoding::testing;

class Iconv {
 public:
  Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~Iconv() {
    if (valid()) iconv_close(m_cd);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

  // The whole input converted, or an empty vector; incomplete tells an
  // input that ends inside a sequence.
  Bytes run(const Bytes& input, bool& incomplete) {
    incomplete = false;
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(input.data()));
    std::size_t inLeft = input.size();
    char buffer[32];
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    if (iconv(m_cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
      incomplete = errno == EINVAL;
      return {};
    }
    if (iconv(m_cd, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) return {};
    return Bytes(buffer, out);
  }

 private:
  iconv_t m_cd;
};

struct Peer {
  int codePage;
  const char* iconvName;
};

const Peer kPeers[] = {
    {37, "IBM037"},          {437, "IBM437"},
    {500, "IBM500"},         {708, "ASMO-708"},
    {737, "CP737"},          {775, "IBM775"},
    {850, "IBM850"},         {852, "IBM852"},
    {855, "IBM855"},         {857, "IBM857"},
    {858, "IBM858"},         {860, "IBM860"},
    {861, "IBM861"},         {862, "IBM862"},
    {863, "IBM863"},         {864, "IBM864"},
    {865, "IBM865"},         {866, "IBM866"},
    {870, "IBM870"},         {1047, "IBM1047"},
    {1140, "IBM1140"},       {1141, "IBM1141"},
    {1142, "IBM1142"},       {1143, "IBM1143"},
    {1144, "IBM1144"},       {1145, "IBM1145"},
    {1146, "IBM1146"},       {1147, "IBM1147"},
    {1148, "IBM1148"},       {1149, "IBM1149"},
    {1250, "CP1250"},        {1251, "CP1251"},
    {1252, "CP1252"},        {1253, "CP1253"},
    {1254, "CP1254"},        {1256, "CP1256"},
    {1257, "CP1257"},        {10007, "CP10007"},
    {10017, "MACUKRAINIAN"}, {10029, "MAC-CENTRALEUROPE"},
    {20106, "DIN_66003"},    {20107, "SEN_850200_B"},
    {20108, "NS_4551-1"},    {20277, "IBM277"},
    {20278, "IBM278"},       {20280, "IBM280"},
    {20284, "IBM284"},       {20285, "IBM285"},
    {20290, "IBM290"},       {20297, "IBM297"},
    {20420, "IBM420"},       {20423, "IBM423"},
    {20424, "IBM424"},       {20866, "KOI8-R"},
    {20871, "IBM871"},       {20880, "IBM880"},
    {20905, "IBM905"},       {21025, "IBM1025"},
    {21866, "KOI8-U"},       {28592, "ISO-8859-2"},
    {28593, "ISO-8859-3"},   {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},   {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"},   {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"},   {28603, "ISO-8859-13"},
    {28605, "ISO-8859-15"},  {38598, "ISO-8859-8"},
    {932, "CP932"},          {936, "CP936"},
    {949, "CP949"},          {950, "CP950"},
    {20261, "T.61-8BIT"},    {20269, "ISO_6937"},
    {20932, "EUC-JP"},       {51932, "EUC-JP-MS"},
    {20936, "EUC-CN"},       {51936, "EUC-CN"},
    {20949, "EUC-KR"},       {51949, "EUC-KR"},
};

std::uint32_t utf32Value(const Bytes& b) {
  return b.size() == 4
             ? (b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24))
             : 0xFFFFFFFFu;
}

Bytes bytesOfCode(std::uint16_t code) {
  unsigned char out[4];
  return Bytes(out, out + writeTableCode(code, out));
}

TEST(CodePagesAgainstIconv, DecodingMatchesEverySequence) {
  for (const Peer& peer : kPeers) {
    SCOPED_TRACE(peer.codePage);
    Iconv decoder("UTF-32LE", peer.iconvName);
    ASSERT_TRUE(decoder.valid()) << peer.iconvName;
    const CodePageTables* tables = codePageTables(peer.codePage);
    ASSERT_NE(tables, nullptr);
    std::size_t differences = 0;
    bool incomplete = false;
    auto check = [&](const Bytes& sequence, std::uint16_t mine) {
      const std::uint32_t theirs = utf32Value(decoder.run(sequence, incomplete));
      const bool c1Kept =
          sequence.size() == 1 && mine == sequence[0] && mine >= 0x80 && mine < 0xA0;
      const bool same = mine == CodePageTables::kUndefined ? theirs == 0xFFFFFFFFu : mine == theirs;
      if (!same && !(c1Kept && theirs == 0xFFFFFFFFu) && ++differences <= 5) {
        ADD_FAILURE() << "bytes " << std::hex << sequence[0] << " "
                      << (sequence.size() > 1 ? sequence[1] : 0) << ": mine " << mine << ", iconv "
                      << theirs;
      }
    };
    for (unsigned b = 0; b < 256; ++b) {
      const unsigned char byte = static_cast<unsigned char>(b);
      if (tables->singles[b] != CodePageTables::kLead) {
        check({byte}, tables->singles[b]);
        continue;
      }
      decoder.run({byte}, incomplete);
      EXPECT_TRUE(incomplete) << "lead byte " << b;
      if (b == 0x8F && tables->triples != nullptr) {
        for (unsigned key = 0xA1A1; key <= 0xFEFE; ++key) {
          check({byte, static_cast<unsigned char>(key >> 8), static_cast<unsigned char>(key)},
                tables->triples[key]);
        }
        continue;
      }
      for (unsigned t = 0; t < 256; ++t)
        check({byte, static_cast<unsigned char>(t)}, tables->pairs[(b << 8) | t]);
    }
    EXPECT_EQ(differences, 0u);
  }
}

TEST(CodePagesAgainstIconv, EncodingWritesWhatIconvWrites) {
  for (const Peer& peer : kPeers) {
    SCOPED_TRACE(peer.codePage);
    Iconv encoder(peer.iconvName, "UTF-32LE");
    ASSERT_TRUE(encoder.valid()) << peer.iconvName;
    const CodePageTables* tables = codePageTables(peer.codePage);
    ASSERT_NE(tables, nullptr);
    std::size_t differences = 0;
    bool incomplete = false;
    for (std::uint32_t cp = 1; cp < 0x10000; ++cp) {
      if (tables->reverse[cp] == 0) continue;
      const Bytes theirs = encoder.run(utf32Of({cp}), incomplete);
      if (theirs.empty()) continue;  // a C1 control iconv leaves undefined
      if (theirs != bytesOfCode(tables->reverse[cp]) && ++differences <= 5)
        ADD_FAILURE() << "U+" << std::hex << cp;
    }
    EXPECT_EQ(differences, 0u);
  }
}

}  // namespace
}  // namespace rozazar::encoding
