// StringBuffer: editing in place.
#include <cstring>

#include "foundation/text/StringBuffer.h"

namespace rozazar {

namespace {

bool isSpace(char c) noexcept { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

bool StringBuffer::setText(const char* text) noexcept {
  if (text == nullptr || *text == '\0') {
    clear();
    return true;
  }
  if (overlapsStorage(text, 1)) {
    // The source would be overwritten while it is copied: copy it first.
    StringBuffer copy;
    if (!copy.appendText(text)) return false;
    clear();
    moveFrom(copy);
    return true;
  }
  const std::size_t n = std::strlen(text);
  // Make room before emptying, so that a failure keeps the old text.
  if (n >= m_length && !ensureSpaceFor(n - m_length)) return false;
  clear();
  return appendRaw(text, n);
}

bool StringBuffer::setFromBuffer(const StringBuffer& other) noexcept {
  if (&other == this) return true;
  if (!RozazarObject::isValid(&other)) return false;
  if (other.m_length >= m_length && !ensureSpaceFor(other.m_length - m_length)) return false;
  clear();
  return appendRaw(other.m_data, other.m_length);
}

bool StringBuffer::cutAtChar(char c) noexcept {
  const void* hit = std::memchr(m_data, c, m_length);
  if (hit == nullptr) return false;
  setLength(static_cast<std::uint32_t>(static_cast<const char*>(hit) - m_data));
  return true;
}

bool StringBuffer::cutAtLastChar(char c) noexcept {
  for (std::uint32_t i = m_length; i-- > 0;) {
    if (m_data[i] == c) {
      setLength(i);
      return true;
    }
  }
  return false;
}

void StringBuffer::truncateTo(std::size_t n) noexcept {
  if (n < m_length) setLength(static_cast<std::uint32_t>(n));
}

void StringBuffer::dropLast(std::size_t n) noexcept {
  setLength(n >= m_length ? 0 : m_length - static_cast<std::uint32_t>(n));
}

std::size_t StringBuffer::removeAllChar(char c) noexcept {
  std::uint32_t kept = 0;
  for (std::uint32_t i = 0; i < m_length; ++i)
    if (m_data[i] != c) m_data[kept++] = m_data[i];
  const std::size_t removed = m_length - kept;
  setLength(kept);
  return removed;
}

std::size_t StringBuffer::replaceAllChar(char from, char to) noexcept {
  std::size_t count = 0;
  for (std::uint32_t i = 0; i < m_length; ++i) {
    if (m_data[i] == from) {
      m_data[i] = to;
      ++count;
    }
  }
  // Replacing by a zero byte may have ended the text early; the terminator
  // invariant still holds because the length is unchanged.
  return count;
}

bool StringBuffer::replaceRange(std::uint32_t pos, std::uint32_t len, const char* rep,
                                std::uint32_t repLen) noexcept {
  if (overlapsStorage(rep, repLen)) {
    // The replacement would move while the text is shifted: use a copy.
    StringBuffer copy;
    if (!copy.appendRaw(rep, repLen)) return false;
    return replaceRange(pos, len, copy.m_data, repLen);
  }
  if (repLen > len && !ensureSpaceFor(repLen - len)) return false;
  char* at = m_data + pos;
  std::memmove(at + repLen, at + len, std::size_t{m_length} - pos - len + 1);
  std::memcpy(at, rep, repLen);
  m_length = m_length - len + repLen;
  return true;
}

std::size_t StringBuffer::replaceAllText(const char* find, const char* replacement) noexcept {
  if (find == nullptr || *find == '\0') return 0;
  const std::size_t findLength = std::strlen(find);
  if (replacement == nullptr) replacement = "";
  const std::size_t replacementLength = std::strlen(replacement);
  const std::uint32_t searched = cLength();

  std::size_t matches = 0;
  for (const char* p = std::strstr(m_data, find); p != nullptr;
       p = std::strstr(p + findLength, find))
    ++matches;
  if (matches == 0) return 0;

  const std::uint64_t resultLength =
      std::uint64_t{m_length} + matches * std::uint64_t{replacementLength} - matches * findLength;
  StringBuffer result;
  if (resultLength > 0xFFFFFFFEu || !result.ensureSpaceFor(static_cast<std::size_t>(resultLength)))
    return 0;
  const char* from = m_data;
  for (const char* p = std::strstr(m_data, find); p != nullptr && p < m_data + searched;
       p = std::strstr(p + findLength, find)) {
    result.appendRaw(from, static_cast<std::size_t>(p - from));
    result.appendRaw(replacement, replacementLength);
    from = p + findLength;
  }
  result.appendRaw(from, static_cast<std::size_t>(m_data + m_length - from));
  moveFrom(result);
  return matches;
}

bool StringBuffer::replaceFirstText(const char* find, const char* replacement,
                                    bool noCase) noexcept {
  if (find == nullptr || *find == '\0') return false;
  const std::size_t findLength = std::strlen(find);
  const std::int64_t at = findFirst(find, findLength, noCase);
  if (at < 0) return false;
  if (replacement == nullptr) return true;
  return replaceRange(static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(findLength),
                      replacement, static_cast<std::uint32_t>(std::strlen(replacement)));
}

bool StringBuffer::replaceLastText(const char* find, const char* replacement) noexcept {
  if (find == nullptr || *find == '\0') return false;
  const std::size_t findLength = std::strlen(find);
  const std::int64_t at = findLast(find, findLength);
  if (at < 0) return false;
  if (replacement == nullptr) return true;
  return replaceRange(static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(findLength),
                      replacement, static_cast<std::uint32_t>(std::strlen(replacement)));
}

bool StringBuffer::escapeXmlEntities() noexcept {
  // One pass gives the same result as replacing & first and then < > and ",
  // because no entity contains a character that a later step replaces.
  std::uint64_t extra = 0;
  for (std::uint32_t i = 0; i < m_length; ++i) {
    switch (m_data[i]) {
      case '&':
        extra += 4;
        break;
      case '<':
      case '>':
        extra += 3;
        break;
      case '"':
        extra += 5;
        break;
      default:
        break;
    }
  }
  if (extra == 0) return true;
  if (std::uint64_t{m_length} + extra > 0xFFFFFFFEu) return false;
  StringBuffer result;
  if (!result.ensureSpaceFor(static_cast<std::size_t>(m_length + extra))) return false;
  for (std::uint32_t i = 0; i < m_length; ++i) {
    switch (m_data[i]) {
      case '&':
        result.appendRaw("&amp;", 5);
        break;
      case '<':
        result.appendRaw("&lt;", 4);
        break;
      case '>':
        result.appendRaw("&gt;", 4);
        break;
      case '"':
        result.appendRaw("&quot;", 6);
        break;
      default:
        result.appendRaw(m_data + i, 1);
        break;
    }
  }
  const std::uint32_t increment = m_increment;
  moveFrom(result);
  m_increment = increment;
  return true;
}

void StringBuffer::lowerCase() noexcept {
  for (char* p = m_data; *p != '\0'; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF)) *p = static_cast<char>(c + 0x20);
  }
}

std::size_t StringBuffer::trimSpace() noexcept {
  std::uint32_t end = m_length;
  while (end > 0 && isSpace(m_data[end - 1])) --end;
  std::uint32_t start = 0;
  while (start < end && isSpace(m_data[start])) ++start;
  const std::size_t removed = m_length - (end - start);
  if (removed == 0) return 0;
  std::memmove(m_data, m_data + start, end - start);
  setLength(end - start);
  return removed;
}

void StringBuffer::dropThroughChar(char c, bool includeChar) noexcept {
  const void* hit = std::memchr(m_data, c, m_length);
  if (hit == nullptr) return;
  std::uint32_t from = static_cast<std::uint32_t>(static_cast<const char*>(hit) - m_data);
  if (includeChar) ++from;
  std::memmove(m_data, m_data + from, std::size_t{m_length} - from + 1);
  m_length -= from;
}

}  // namespace rozazar
