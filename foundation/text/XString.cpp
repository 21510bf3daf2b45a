#include "foundation/text/XString.h"

#include <cstdint>
#include <cstring>

#include "foundation/object/Allocation.h"
#include "foundation/object/LogBase.h"
#include "foundation/object/Signature.h"
#include "foundation/text/EncodingConvert.h"

namespace rozazar {

namespace {

constexpr int kUtf8 = 65001;

bool convert(int from, int to, const void* data, std::size_t n, DataBuffer& out) noexcept {
  EncodingConvert converter;
  LogNull log;
  return converter.convertText(from, to, static_cast<const unsigned char*>(data), n, out, log);
}

std::size_t utf8BomLength(const char* data, std::size_t n) noexcept {
  return (n >= 3 && static_cast<unsigned char>(data[0]) == 0xEF &&
          static_cast<unsigned char>(data[1]) == 0xBB &&
          static_cast<unsigned char>(data[2]) == 0xBF)
             ? 3
             : 0;
}

std::size_t utf16Length(const char16_t* text) noexcept {
  // Four units per step, never reading past the terminator.
  std::size_t n = 0;
  for (;;) {
    if (text[n] == 0) return n;
    if (text[n + 1] == 0) return n + 1;
    if (text[n + 2] == 0) return n + 2;
    if (text[n + 3] == 0) return n + 3;
    n += 4;
  }
}

// A leading FF FE or FE FF pair, whichever byte order it announces.
bool startsWithUtf16Bom(const char16_t* data, std::size_t count) noexcept {
  return count > 0 && (data[0] == 0xFEFF || data[0] == 0xFFFE);
}

bool startsWithUtf32Bom(const std::uint32_t* data, std::size_t count) noexcept {
  if (count == 0) return false;
  unsigned char bytes[4];
  std::memcpy(bytes, data, 4);
  return (bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 0xFE && bytes[3] == 0xFF) ||
         (bytes[0] == 0xFF && bytes[1] == 0xFE && bytes[2] == 0 && bytes[3] == 0);
}

}  // namespace

XString::~XString() {
  if (m_stringSignature == kStringSignature) clearSignature(m_stringSignature);
}

XString* XString::createNew() noexcept { return newObject<XString>(); }

ROZAZAR_SIGNATURE_CHECK bool XString::live() const noexcept {
  if (m_stringSignature == kStringSignature) return true;
  notifyCorruption();
  return false;
}

bool XString::isValid() const noexcept { return live() && m_ansi.isValid() && m_utf8.isValid(); }

namespace {

bool overlaps(const void* data, std::size_t n, const void* block, std::size_t size) noexcept {
  if (data == nullptr || block == nullptr || size == 0) return false;
  const auto begin = reinterpret_cast<std::uintptr_t>(block);
  const auto at = reinterpret_cast<std::uintptr_t>(data);
  return at < begin + size && at + n > begin;
}

}  // namespace

bool XString::overlapsOwnStorage(const void* data, std::size_t n) const noexcept {
  return overlaps(data, n, m_utf8.text(), m_utf8.capacity()) ||
         overlaps(data, n, m_ansi.text(), m_ansi.capacity()) ||
         overlaps(data, n, m_wide.data(), m_wide.capacity());
}

void XString::resetFlags() noexcept {
  m_wideCurrent = 0;
  m_ansiCurrent = 1;
  m_utf8Current = 1;
  m_wideIsUtf16 = 1;
}

void XString::onlyUtf8() noexcept {
  m_utf8Current = 1;
  m_ansiCurrent = 0;
  m_wideCurrent = 0;
}

void XString::onlyAnsi() noexcept {
  m_ansiCurrent = 1;
  m_utf8Current = 0;
  m_wideCurrent = 0;
}

void XString::onlyWide(bool utf16) noexcept {
  m_wideCurrent = 1;
  m_wideIsUtf16 = utf16 ? 1 : 0;
  m_utf8Current = 0;
  m_ansiCurrent = 0;
}

void XString::clear() noexcept {
  if (!live()) return;
  m_utf8.clear();
  m_ansi.clear();
  m_wide.clear();
  resetFlags();
}

void XString::clearAndRelease() noexcept {
  if (!live()) return;
  m_utf8.clearAndRelease();
  m_ansi.clearAndRelease();
  m_wide.clearAndRelease();
  resetFlags();
}

void XString::wipeAndRelease() noexcept {
  if (!live()) return;
  m_utf8.wipeAndRelease();
  m_ansi.wipeAndRelease();
  m_wide.wipeAndRelease();
  resetFlags();
}

std::size_t XString::wideTextBytes() const noexcept {
  const std::size_t unit = wideUnitBytes();
  return m_wide.size() >= unit ? m_wide.size() - unit : 0;
}

bool XString::terminateWide() noexcept {
  static const unsigned char kZeros[4] = {0, 0, 0, 0};
  return m_wide.appendBytes(kZeros, wideUnitBytes());
}

// ---- Making a form current ----

bool XString::ensureUtf8() noexcept {
  if (!live()) return false;
  if (m_utf8Current != 0) return true;
  DataBuffer converted;
  if (m_ansiCurrent != 0) {
    const std::size_t n = m_ansi.length();
    converted.reserve(n / 16 + n + 4);
    convert(processAnsiCodePage(), kUtf8, m_ansi.text(), n, converted);
  } else if (m_wideCurrent != 0) {
    convert(wideCodePage(), kUtf8, m_wide.data(), wideTextBytes(), converted);
  } else {
    clear();
    return true;
  }
  if (!m_utf8.adoptDataBuffer(converted)) {
    m_utf8.clear();
    return false;
  }
  m_utf8Current = 1;
  m_utf8.compactStorage();
  return true;
}

bool XString::ensureAnsi() noexcept {
  if (!live()) return false;
  if (m_ansiCurrent != 0) return true;
  DataBuffer converted;
  bool ok;
  if (m_utf8Current != 0) {
    ok = convert(kUtf8, processAnsiCodePage(), m_utf8.text(), m_utf8.length(), converted);
  } else if (m_wideCurrent != 0) {
    ok = convert(wideCodePage(), processAnsiCodePage(), m_wide.data(), wideTextBytes(), converted);
  } else {
    clear();
    return true;
  }
  if (!m_ansi.adoptDataBuffer(converted)) {
    m_ansi.clear();
    return false;
  }
  // A failed conversion leaves ANSI stale, so the next request tries again.
  if (ok) m_ansiCurrent = 1;
  return ok;
}

bool XString::ensureWide(bool utf16) noexcept {
  if (!live()) return false;
  if (m_wideCurrent != 0 && (m_wideIsUtf16 != 0) == utf16) return true;
  const int target = utf16 ? 1200 : 12000;
  if (m_utf8Current != 0) {
    m_wide.clear();
    convert(kUtf8, target, m_utf8.text(), m_utf8.length(), m_wide);
  } else if (m_ansiCurrent != 0) {
    m_wide.clear();
    convert(processAnsiCodePage(), target, m_ansi.text(), m_ansi.length(), m_wide);
  } else if (m_wideCurrent != 0) {
    DataBuffer converted;
    convert(wideCodePage(), target, m_wide.data(), wideTextBytes(), converted);
    m_wide.moveFrom(converted);
  } else {
    clear();
    m_wide.clear();
  }
  m_wideIsUtf16 = utf16 ? 1 : 0;
  if (!terminateWide()) {
    m_wide.clear();
    m_wideCurrent = 0;
    return false;
  }
  m_wideCurrent = 1;
  return true;
}

// ---- Setting ----

bool XString::setFromUtf8(const char* text) noexcept {
  return setFromUtf8N(text, text != nullptr ? std::strlen(text) : 0);
}

bool XString::setFromUtf8N(const char* data, std::size_t n) noexcept {
  if (!live()) return false;
  if (overlapsOwnStorage(data, n)) {
    // The text is this string's own: emptying the string would lose it.
    StringBuffer copy;
    return copy.appendBytes(data, n) && setFromUtf8N(copy.text(), copy.length());
  }
  clear();
  if (data == nullptr || n == 0) return true;
  const std::size_t bom = utf8BomLength(data, n);
  if (!m_utf8.appendBytes(data + bom, n - bom)) return false;
  m_utf8.compactStorage();
  onlyUtf8();
  return true;
}

bool XString::setFromUtf8Buffer(const StringBuffer& sb) noexcept {
  if (&sb == &m_utf8) {
    if (!ensureUtf8()) return false;
    onlyUtf8();
    return true;
  }
  return setFromUtf8N(sb.text(), sb.length());
}

bool XString::setFromAnsi(const char* text) noexcept {
  if (!live()) return false;
  if (text != nullptr && overlapsOwnStorage(text, std::strlen(text) + 1)) {
    StringBuffer copy;
    return copy.appendText(text) && setFromAnsi(copy.text());
  }
  clear();
  if (text == nullptr || *text == '\0') return true;
  if (!m_ansi.appendText(text)) return false;
  onlyAnsi();
  return true;
}

bool XString::setFromUtf16(const char16_t* text) noexcept {
  if (!live()) return false;
  if (text == nullptr || *text == 0) {
    clear();
    return true;
  }
  std::size_t count = utf16Length(text);
  if (overlapsOwnStorage(text, 2 * count + 2)) {
    DataBuffer copy;
    if (!copy.appendBytes(text, 2 * count + 2)) return false;
    return setFromUtf16(reinterpret_cast<const char16_t*>(copy.data()));
  }
  clear();
  if (startsWithUtf16Bom(text, count)) {
    ++text;
    --count;
  }
  if (count == 0) return true;
  return appendWideUnits(reinterpret_cast<const unsigned char*>(text), count * 2, true);
}

bool XString::copyFrom(const XString& other) noexcept {
  if (&other == this) return true;
  if (!live() || !other.live()) return false;
  clear();
  bool ok = true;
  if (other.m_utf8Current != 0) ok = m_utf8.setFromBuffer(other.m_utf8) && ok;
  if (other.m_ansiCurrent != 0) ok = m_ansi.setFromBuffer(other.m_ansi) && ok;
  if (other.m_wideCurrent != 0) ok = m_wide.appendDataBuffer(other.m_wide) && ok;
  if (!ok) {
    clear();
    return false;
  }
  m_utf8Current = other.m_utf8Current;
  m_ansiCurrent = other.m_ansiCurrent;
  m_wideCurrent = other.m_wideCurrent;
  m_wideIsUtf16 = other.m_wideIsUtf16;
  return true;
}

// ---- Appending ----

bool XString::appendUtf8(const char* text) noexcept {
  return appendUtf8N(text, text != nullptr ? std::strlen(text) : 0);
}

bool XString::appendUtf8N(const char* data, std::size_t n) noexcept {
  if (!live()) return false;
  if (data == nullptr || n == 0) return true;
  const std::size_t bom = utf8BomLength(data, n);
  if (n == bom) return true;
  if (m_utf8Current == 0 && overlapsOwnStorage(data, n)) {
    StringBuffer copy;
    return copy.appendBytes(data, n) && appendUtf8N(copy.text(), copy.length());
  }
  if (!ensureUtf8()) return false;
  if (!m_utf8.appendBytes(data + bom, n - bom)) return false;
  onlyUtf8();
  return true;
}

bool XString::appendAnsi(const char* text) noexcept {
  return appendAnsiN(text, text != nullptr ? std::strlen(text) : 0);
}

bool XString::appendAnsiN(const char* data, std::size_t n) noexcept {
  if (!live()) return false;
  if (data == nullptr || n == 0) return true;
  if (m_ansiCurrent != 0) {
    if (!m_ansi.appendBytes(data, n)) return false;
    onlyAnsi();
    return true;
  }
  DataBuffer converted;
  converted.reserve(n / 16 + n + 4);
  convert(processAnsiCodePage(), kUtf8, data, n, converted);
  if (!ensureUtf8() || !m_utf8.appendDataBuffer(converted)) return false;
  onlyUtf8();
  return true;
}

bool XString::appendUtf16(const char16_t* text) noexcept {
  return appendUtf16N(text, text != nullptr ? utf16Length(text) : 0);
}

bool XString::appendUtf16N(const char16_t* data, std::size_t count) noexcept {
  if (!live()) return false;
  if (data == nullptr) return true;
  std::size_t n = 0;
  while (n < count && data[n] != 0) ++n;
  if (startsWithUtf16Bom(data, n)) {
    ++data;
    --n;
  }
  if (n == 0) return true;
  return appendWideUnits(reinterpret_cast<const unsigned char*>(data), n * 2, true);
}

bool XString::appendUtf32N(const std::uint32_t* data, std::size_t count) noexcept {
  if (!live()) return false;
  if (data == nullptr) return true;
  std::size_t n = 0;
  while (n < count && data[n] != 0) ++n;
  if (startsWithUtf32Bom(data, n)) {
    ++data;
    --n;
  }
  if (n == 0) return true;
  return appendWideUnits(reinterpret_cast<const unsigned char*>(data), n * 4, false);
}

bool XString::appendWideUnits(const unsigned char* data, std::size_t bytes, bool utf16) noexcept {
  if (overlapsOwnStorage(data, bytes)) {
    // The units are this string's own: growing would release them.
    DataBuffer copy;
    return copy.appendBytes(data, bytes) && appendWideUnits(copy.data(), bytes, utf16);
  }
  if (!ensureWide(utf16)) return false;
  const std::size_t unit = utf16 ? 2 : 4;
  // One allocation for the text and its new terminator.
  m_wide.reserve(static_cast<std::size_t>(m_wide.size()) + bytes);
  m_wide.dropLast(unit);
  if (!m_wide.appendBytes(data, bytes)) {
    terminateWide();
    return false;
  }
  if (!terminateWide()) {
    m_wide.dropLast(bytes);
    terminateWide();
    return false;
  }
  onlyWide(utf16);
  return true;
}

bool XString::appendXString(XString& other) noexcept {
  if (!live() || !other.live()) return false;
  if (&other == this) {
    XString copy;
    return copy.copyFrom(*this) && appendXString(copy);
  }
  if (other.m_utf8Current != 0) return appendUtf8N(other.m_utf8.text(), other.m_utf8.length());
  if (other.m_ansiCurrent != 0) return appendAnsiN(other.m_ansi.text(), other.m_ansi.length());
  if (other.m_wideCurrent == 0) return true;
  const std::size_t bytes = other.wideTextBytes();
  if (bytes == 0) return true;
  return appendWideUnits(other.m_wide.data(), bytes, other.m_wideIsUtf16 != 0);
}

// ---- Reading ----

const char* XString::getUtf8() noexcept {
  if (!live()) return nullptr;
  ensureUtf8();
  return m_utf8.text();
}

StringBuffer* XString::getUtf8Buffer() noexcept {
  if (!live()) return nullptr;
  ensureUtf8();
  return &m_utf8;
}

StringBuffer* XString::getUtf8BufferForEdit() noexcept {
  if (!live()) return nullptr;
  ensureUtf8();
  onlyUtf8();
  return &m_utf8;
}

const char* XString::getAnsi() noexcept {
  if (!live()) return nullptr;
  ensureAnsi();
  return m_ansi.text();
}

StringBuffer* XString::getAnsiBuffer() noexcept {
  if (!live()) return nullptr;
  ensureAnsi();
  return &m_ansi;
}

const char16_t* XString::getUtf16() noexcept {
  if (!live() || !ensureWide(true)) return nullptr;
  return reinterpret_cast<const char16_t*>(m_wide.data());
}

const char16_t* XString::getWide() noexcept {
  const char16_t* text = getUtf16();
  return text != nullptr ? text : u"";
}

const std::uint32_t* XString::getUtf32() noexcept {
  if (!live() || !ensureWide(false)) return nullptr;
  return reinterpret_cast<const std::uint32_t*>(m_wide.data());
}

StringBuffer* XString::getCurrentBuffer() noexcept {
  if (!live()) return nullptr;
  if (m_ansiCurrent != 0) return &m_ansi;
  ensureUtf8();
  return &m_utf8;
}

bool XString::getEncoded(int codePage, DataBuffer& out) noexcept {
  if (!live()) return false;
  // Numbers below 100 (37 aside) name the byte-to-text encoder, which is
  // not part of this string.
  if (codePage >= 1 && codePage <= 99 && codePage != 37) return false;
  if (codePage == kUtf8) {
    ensureUtf8();
    return out.appendBytes(m_utf8.text(), m_utf8.length());
  }
  if (m_wideCurrent != 0) {
    const bool sameForm =
        m_wideIsUtf16 != 0 ? codePage == 1200 : (codePage == 12000 || codePage == 65005);
    if (sameForm) return out.appendBytes(m_wide.data(), wideTextBytes());
    return convert(wideCodePage(), codePage, m_wide.data(), wideTextBytes(), out);
  }
  ensureUtf8();
  return convert(kUtf8, codePage, m_utf8.text(), m_utf8.length(), out);
}

std::size_t XString::sizeUtf8() noexcept {
  if (!live()) return 0;
  ensureUtf8();
  return m_utf8.length();
}

std::size_t XString::charCount() noexcept {
  if (!live()) return 0;
  if (m_ansiCurrent != 0) return m_ansi.length();
  const bool utf16 = m_wideCurrent != 0 ? m_wideIsUtf16 != 0 : true;
  if (!ensureWide(utf16)) return 0;
  return wideTextBytes() / wideUnitBytes();
}

bool XString::isEmpty() const noexcept {
  if (!live()) return true;
  if (m_utf8Current != 0) return m_utf8.length() == 0;
  if (m_ansiCurrent != 0) return m_ansi.length() == 0;
  if (m_wideCurrent != 0) return wideTextBytes() == 0;
  return true;
}

}  // namespace rozazar
