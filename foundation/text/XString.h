// The multi-encoding string. It keeps up to three forms of one text, UTF-8,
// the process's ANSI code page and a wide form (UTF-16 or UTF-32 in host
// byte order), and converts between them only when a form is asked for.
// Changing one form makes the others stale; stale forms keep their storage
// for the next conversion.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/containers/DataBuffer.h"
#include "foundation/object/RozazarObject.h"
#include "foundation/text/StringBuffer.h"

namespace rozazar {

class XString : public RozazarObject {
 public:
  static constexpr std::uint32_t kStringSignature = 0xC8E20FF6u;

  XString() noexcept = default;
  XString(const XString&) = delete;
  XString& operator=(const XString&) = delete;
  ~XString() override;

  // A new empty string, or null.
  static XString* createNew() noexcept;

  // ---- Setting: each empties the string first; a leading byte-order mark
  // of the input is dropped; null or empty input leaves the string empty.
  // False only when memory runs out or the string is not valid. ----

  bool setFromUtf8(const char* text) noexcept;
  bool setFromUtf8N(const char* data, std::size_t n) noexcept;
  bool setFromUtf8Buffer(const StringBuffer& sb) noexcept;
  bool setFromAnsi(const char* text) noexcept;
  bool setFromUtf16(const char16_t* text) noexcept;
  bool copyFrom(const XString& other) noexcept;

  // ---- Appending ----

  bool appendUtf8(const char* text) noexcept;
  bool appendUtf8N(const char* data, std::size_t n) noexcept;
  bool appendAnsi(const char* text) noexcept;
  bool appendAnsiN(const char* data, std::size_t n) noexcept;
  bool appendUtf16(const char16_t* text) noexcept;
  // count units, stopping early at a zero unit.
  bool appendUtf16N(const char16_t* data, std::size_t count) noexcept;
  bool appendUtf32N(const std::uint32_t* data, std::size_t count) noexcept;
  bool appendXString(XString& other) noexcept;

  // ---- Reading: the form asked for is made current first; pointers stay
  // valid until the string next changes. Null for an invalid string. ----

  const char* getUtf8() noexcept;
  StringBuffer* getUtf8Buffer() noexcept;
  // The UTF-8 buffer as the only current form, for editing in place.
  StringBuffer* getUtf8BufferForEdit() noexcept;
  const char* getAnsi() noexcept;
  StringBuffer* getAnsiBuffer() noexcept;
  const char16_t* getUtf16() noexcept;
  // As getUtf16, but never null.
  const char16_t* getWide() noexcept;
  const std::uint32_t* getUtf32() noexcept;
  // The ANSI buffer when ANSI is current, else the UTF-8 buffer.
  StringBuffer* getCurrentBuffer() noexcept;
  // Appends the text in the given code page (no terminator) to out.
  bool getEncoded(int codePage, DataBuffer& out) noexcept;
  std::size_t sizeUtf8() noexcept;
  // Bytes when ANSI is current, otherwise wide units.
  std::size_t charCount() noexcept;
  bool isEmpty() const noexcept;
  bool isValid() const noexcept;

  // ---- Comparing and searching; arguments are UTF-8 ----

  bool equalsUtf8(const char* text) noexcept;
  bool equalsUtf8NoCase(const char* text) noexcept;
  bool startsWithUtf8(const char* text, bool ignoreCase) noexcept;
  bool endsWithUtf8(const char* text, bool ignoreCase) noexcept;
  bool containsUtf8(const char* text) noexcept;
  // Searched in the ANSI forms with Latin-1 case folding.
  bool containsNoCase(const char* text) noexcept;
  // Position in UTF-16 units of the first occurrence, or -1.
  int indexOfUtf8(const char* text) noexcept;

  // ---- Editing ----

  // c, a and b are characters of the ANSI code page.
  bool removeChar(char c) noexcept;
  bool replaceChar(char a, char b) noexcept;
  bool replaceFirstUtf8(const char* find, const char* replacement, bool ignoreCase) noexcept;
  bool replaceLastUtf8(const char* find, const char* replacement) noexcept;
  bool toLowerCase() noexcept;
  void clear() noexcept;
  void clearAndRelease() noexcept;
  void wipeAndRelease() noexcept;

  // Which forms are current (for callers that care about cost).
  bool isUtf8Current() const noexcept { return m_utf8Current != 0; }
  bool isAnsiCurrent() const noexcept { return m_ansiCurrent != 0; }
  bool isWideCurrent() const noexcept { return m_wideCurrent != 0; }
  bool isWideUtf16() const noexcept { return m_wideIsUtf16 != 0; }

 private:
  bool live() const noexcept;
  // Whether [data, data + n) lies in storage of this string, which setting
  // and growing may release.
  bool overlapsOwnStorage(const void* data, std::size_t n) const noexcept;
  void resetFlags() noexcept;
  void onlyUtf8() noexcept;
  void onlyAnsi() noexcept;
  void onlyWide(bool utf16) noexcept;

  bool ensureUtf8() noexcept;
  bool ensureAnsi() noexcept;
  bool ensureWide(bool utf16) noexcept;
  std::size_t wideUnitBytes() const noexcept { return m_wideIsUtf16 != 0 ? 2 : 4; }
  // The wide text without its terminator.
  std::size_t wideTextBytes() const noexcept;
  int wideCodePage() const noexcept { return m_wideIsUtf16 != 0 ? 1200 : 12000; }
  bool terminateWide() noexcept;
  bool appendWideUnits(const unsigned char* data, std::size_t bytes, bool utf16) noexcept;
  // The UTF-16 unit of an ANSI character.
  std::uint16_t ansiCharToUnit(char c) noexcept;

  std::uint32_t m_stringSignature = kStringSignature;
  std::uint8_t m_wideCurrent = 0;
  std::uint8_t m_ansiCurrent = 1;
  std::uint8_t m_utf8Current = 1;
  std::uint8_t m_wideIsUtf16 = 1;
  DataBuffer m_wide;
  StringBuffer m_ansi;
  StringBuffer m_utf8;
};

}  // namespace rozazar
