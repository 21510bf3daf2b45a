#include "certs/EncapsulatedContent.h"

namespace varnok {
namespace {

constexpr std::uint8_t kSequence = 0x30;
constexpr std::uint8_t kSet = 0x31;
constexpr std::uint8_t kInteger = 0x02;
constexpr std::uint8_t kObjectId = 0x06;
constexpr std::uint8_t kExplicitZero = 0xA0;
constexpr std::uint8_t kConstructed = 0x20;
constexpr int kMaxDepth = 32;

// A read position within the bytes of one enclosing element. `end` is the
// enclosing element's end; `indefinite` says it ends at an end-of-contents
// mark before that.
struct Cursor {
  const std::uint8_t* at;
  const std::uint8_t* end;
  bool indefinite;

  bool AtEndOfContents() const { return end - at >= 2 && at[0] == 0 && at[1] == 0; }
  bool AtEnd() const { return at == end || (indefinite && AtEndOfContents()); }
};

// Reads the tag and length of the element at `cursor.at`. Tags of more than
// one byte are not used by the elements read here and count as malformed.
bool ReadHeader(Cursor& cursor, std::uint8_t& tag, std::size_t& length, bool& indefinite) {
  if (cursor.end - cursor.at < 2) return false;
  tag = *cursor.at++;
  if ((tag & 0x1F) == 0x1F) return false;
  const std::uint8_t first = *cursor.at++;
  indefinite = first == 0x80;
  length = 0;
  if (indefinite) return (tag & kConstructed) != 0;
  if (first < 0x80) {
    length = first;
  } else {
    const int count = first & 0x7F;
    if (count > 4 || cursor.end - cursor.at < count) return false;
    for (int i = 0; i < count; ++i) length = (length << 8) | *cursor.at++;
  }
  return length <= static_cast<std::size_t>(cursor.end - cursor.at);
}

// Moves past the element at `cursor.at`, nested indefinite lengths included.
bool Skip(Cursor& cursor, int depth) {
  std::uint8_t tag = 0;
  std::size_t length = 0;
  bool indefinite = false;
  if (depth > kMaxDepth || !ReadHeader(cursor, tag, length, indefinite)) return false;
  if (!indefinite) {
    cursor.at += length;
    return true;
  }
  Cursor inner{cursor.at, cursor.end, true};
  while (!inner.AtEndOfContents()) {
    if (!Skip(inner, depth + 1)) return false;
  }
  cursor.at = inner.at + 2;
  return true;
}

// Moves past an element with `tag`.
bool SkipTagged(Cursor& cursor, std::uint8_t tag) {
  return !cursor.AtEnd() && *cursor.at == tag && Skip(cursor, 0);
}

// Enters the element with `tag` at `cursor.at`: `inner` reads its contents.
bool Enter(Cursor& cursor, std::uint8_t tag, Cursor& inner) {
  std::uint8_t found = 0;
  std::size_t length = 0;
  bool indefinite = false;
  if (cursor.AtEnd() || !ReadHeader(cursor, found, length, indefinite) || found != tag) {
    return false;
  }
  inner = Cursor{cursor.at, indefinite ? cursor.end : cursor.at + length, indefinite};
  return true;
}

}  // namespace

bool CarriesEncapsulatedContent(const std::uint8_t* message, std::size_t size) {
  if (message == nullptr) return false;
  // ContentInfo { contentType, [0] SignedData { version, digestAlgorithms,
  // encapContentInfo { eContentType, [0] eContent OPTIONAL }, ... } }
  Cursor outer{message, message + size, false};
  Cursor contentInfo{};
  Cursor explicitContent{};
  Cursor signedData{};
  Cursor encapsulated{};
  return Enter(outer, kSequence, contentInfo) && SkipTagged(contentInfo, kObjectId) &&
         Enter(contentInfo, kExplicitZero, explicitContent) &&
         Enter(explicitContent, kSequence, signedData) && SkipTagged(signedData, kInteger) &&
         SkipTagged(signedData, kSet) && Enter(signedData, kSequence, encapsulated) &&
         SkipTagged(encapsulated, kObjectId) && !encapsulated.AtEnd() &&
         *encapsulated.at == kExplicitZero;
}

}  // namespace varnok
