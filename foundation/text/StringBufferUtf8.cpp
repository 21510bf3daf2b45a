// The StringBuffer and LogBase operations that need XString.
#include "foundation/object/LogBase.h"
#include "foundation/text/StringBuffer.h"
#include "foundation/text/XString.h"

namespace rozazar {

std::size_t StringBuffer::replaceAllCharUtf8(char from, char to) noexcept {
  const bool asciiPair =
      static_cast<unsigned char>(from) < 0x80 && static_cast<unsigned char>(to) < 0x80;
  // An ASCII byte never occurs inside a UTF-8 sequence, so between ASCII
  // characters the byte-wise replacement is already the character-wise one.
  if (asciiPair || isSevenBit()) return replaceAllChar(from, to);
  XString text;
  if (!text.setFromUtf8N(this->text(), length())) return 0;
  XString character;
  const char single[2] = {from, '\0'};
  if (!character.setFromAnsi(single)) return 0;
  const char16_t* units = text.getUtf16();
  const char16_t* unit = character.getUtf16();
  if (units == nullptr || unit == nullptr || unit[0] == 0 || to == '\0') return 0;
  std::size_t count = 0;
  for (const char16_t* p = units; *p != 0; ++p) {
    if (*p == unit[0]) ++count;
  }
  if (count == 0 || !text.replaceChar(from, to)) return 0;
  const StringBuffer* result = text.getUtf8Buffer();
  if (result == nullptr || !setFromBuffer(*result)) return 0;
  return count;
}

bool LogBase::logDataXString(const char* name, const XString& value) {
  if (isSuppressed()) return true;
  if (!value.isValid()) return false;
  // Reading the UTF-8 form may convert, which changes only the string's
  // cached forms, never its text.
  const char* text = const_cast<XString&>(value).getUtf8();
  return logData(name, text != nullptr ? text : "");
}

}  // namespace rozazar
