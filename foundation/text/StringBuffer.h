// The growable, zero-terminated 8-bit string of the foundation. It holds bytes
// (normally UTF-8) and knows nothing of encodings except where an operation
// says so. Texts of up to 81 bytes live inside the object; longer ones move to
// one heap block that grows by a self-adjusting increment. No operation
// throws; every operation that can run out of memory returns false (or null)
// and leaves the text as it was. A buffer whose validity marker is wrong
// (destroyed, or overwritten) refuses to grow, to clear and to release or
// hand over its storage, and frees nothing, not even when it is destroyed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/object/RozazarObject.h"

namespace rozazar {

class DataBuffer;

class StringBuffer : public NonRefCountedObj {
 public:
  static constexpr std::uint8_t kLiveMarker = 0xAA;
  // Text bytes plus terminator that fit inside the object.
  static constexpr std::uint32_t kInlineBytes = 82;
  static constexpr std::uint32_t kFirstIncrement = 202;
  static constexpr std::uint32_t kIncrementCap = 500000;
  // appendCharRun ignores longer runs.
  static constexpr std::size_t kMaxCharRun = 12582912;

  StringBuffer() noexcept;
  // Starts with a copy of text; an allocation failure leaves it empty.
  explicit StringBuffer(const char* text) noexcept;
  StringBuffer(const StringBuffer&) = delete;
  StringBuffer& operator=(const StringBuffer&) = delete;
  // Releases the heap block (unless the marker is already gone) and zeroes
  // every field, the marker included.
  ~StringBuffer() override;

  // ---- Lifetime and storage ----

  // A new buffer holding text, or null when the object or the text's storage
  // cannot be allocated.
  static StringBuffer* createNew(const char* text = nullptr) noexcept;

  // Makes room for n more text bytes and the terminator. False when the buffer
  // is not live, the size overflows or the allocation fails (text unchanged).
  bool ensureSpaceFor(std::size_t n) noexcept;
  // Moves a short heap text back inline, or trims a heap block with more than
  // 256 spare bytes to the text's exact size.
  void compactStorage() noexcept;
  // Empties the text but keeps the heap block (if any) in use.
  void clear() noexcept;
  // Empties the text and releases the heap block.
  void clearAndRelease() noexcept;
  // Overwrites the storage with zeros, then as clearAndRelease.
  void wipeAndRelease() noexcept;
  // Hands the text's block to the caller (who frees it with delete[]) and
  // leaves this buffer empty. Inline text is first copied into a new block of
  // length + 1 bytes; when that fails the result is null and nothing changes.
  char* releaseStorage(std::uint32_t& outLength, std::uint32_t& outCapacity) noexcept;
  // Takes other's text and storage, leaving other empty.
  void moveFrom(StringBuffer& other) noexcept;
  // True while the buffer is alive (its marker is intact).
  bool isValid() const noexcept { return m_marker == kLiveMarker; }
  // A new array holding a copy of the text and its terminator (delete[] it),
  // or null.
  char* duplicateText() const noexcept;

  std::size_t ownedHeapBytes() const noexcept override {
    return m_heap != nullptr ? m_capacity : 0;
  }
  // Bytes the text may use before the next growth, terminator included.
  std::uint32_t capacity() const noexcept { return m_heap != nullptr ? m_capacity : kInlineBytes; }
  std::uint32_t growthIncrement() const noexcept { return m_increment; }
  bool isInline() const noexcept { return m_heap == nullptr; }

  // ---- Appending (false only when memory runs out) ----

  bool appendText(const char* text) noexcept;
  bool appendTwo(const char* first, const char* second) noexcept;
  // Copies n raw bytes; afterwards zero bytes at the end of the whole text no
  // longer count (the length drops past them).
  bool appendBytes(const void* data, std::size_t n) noexcept;
  bool appendChar(char c) noexcept {
    // The common case inline: the byte and the terminator fit.
    if (m_length + 1 < capacity()) {
      m_data[m_length] = c;
      m_data[++m_length] = '\0';
      return true;
    }
    return appendCharGrowing(c);
  }
  // n copies of c; a run longer than kMaxCharRun appends nothing (true).
  bool appendCharRun(char c, std::size_t n) noexcept;
  bool appendInt32(std::int32_t value) noexcept;
  bool appendUInt32(std::uint32_t value) noexcept;
  bool appendInt64(std::int64_t value) noexcept;
  // Refuses (false) a source that is not a live object, and this buffer.
  bool appendBuffer(const StringBuffer& other) noexcept;
  // The system's message text for code ("x" when it has none), then trims
  // white space at both ends of the whole buffer.
  bool appendSystemErrorText(std::uint32_t code) noexcept;
  bool appendLastSystemErrorText() noexcept;
  // Appends source up to the first tab, line feed, carriage return, space or
  // zero byte; returns the number of bytes appended.
  std::size_t appendLeadingWord(const char* source) noexcept;
  // Decodes n bytes of the inside of a JSON string (escapes resolved) and
  // appends the result to out.
  static bool jsonUnescapeAppend(const char* data, std::size_t n, StringBuffer& out) noexcept;

  // ---- Reading and comparing (the own text read as a C string) ----

  const char* text() const noexcept { return m_data; }
  std::uint32_t length() const noexcept { return m_length; }
  bool isEmpty() const noexcept { return m_length == 0; }
  // The byte at i, 0 past the end.
  char charAt(std::size_t i) const noexcept { return i < m_length ? m_data[i] : '\0'; }
  char lastChar() const noexcept { return m_length > 0 ? m_data[m_length - 1] : '\0'; }
  // The text from byte i, null when i > length.
  const char* textAt(std::size_t i) const noexcept { return i <= m_length ? m_data + i : nullptr; }
  // Leading spaces and tabs, an optional sign, decimal digits; wraps silently.
  std::int32_t toInt() const noexcept;
  // No byte with the top bit set among the first n (0: all) bytes.
  bool isSevenBit(std::size_t n = 0) const noexcept;

  // A null text equals (and compares as) the empty text.
  bool equalsText(const char* text) const noexcept;
  bool equalsBuffer(const StringBuffer& other) const noexcept;
  bool equalsTextNoCase(const char* text) const noexcept;
  int compareText(const char* text) const noexcept;
  int compareTextNoCase(const char* text) const noexcept;

  // A null text gives false.
  bool startsWith(const char* text) const noexcept;
  bool startsWithNoCase(const char* text) const noexcept;
  bool startsWithN(const char* text, std::size_t n) const noexcept;
  bool endsWith(const char* text) const noexcept;
  bool endsWithNoCase(const char* text) const noexcept;
  bool hasChar(char c) const noexcept;
  bool hasText(const char* text) const noexcept;
  // Folds ASCII and Latin-1 letters on both sides (see foldLatin1).
  bool hasTextNoCase(const char* text) const noexcept;
  std::size_t countChar(char c) const noexcept;

  // ---- Editing in place ----

  // Replaces the text; null or empty empties it. The text may point into
  // this buffer's own storage.
  bool setText(const char* text) noexcept;
  bool setFromBuffer(const StringBuffer& other) noexcept;
  // Truncate at the first / last c (c removed); false when c is absent.
  bool cutAtChar(char c) noexcept;
  bool cutAtLastChar(char c) noexcept;
  void truncateTo(std::size_t n) noexcept;
  void dropLast(std::size_t n) noexcept;
  std::size_t removeAllChar(char c) noexcept;
  std::size_t replaceAllChar(char from, char to) noexcept;
  // As replaceAllChar, but a text with non-ASCII bytes is treated as UTF-8
  // and the character replaced as a character (defined with XString).
  std::size_t replaceAllCharUtf8(char from, char to) noexcept;
  // Replaces every non-overlapping occurrence, left to right; returns the
  // count (0 when find is null, empty or absent, or memory runs out). A null
  // replacement removes the occurrences.
  std::size_t replaceAllText(const char* find, const char* replacement) noexcept;
  // True when an occurrence was found (a null replacement then changes
  // nothing); false when absent or memory runs out.
  bool replaceFirstText(const char* find, const char* replacement, bool noCase = false) noexcept;
  bool replaceLastText(const char* find, const char* replacement) noexcept;
  // & < > and the double quote become entities.
  bool escapeXmlEntities() noexcept;
  // Escapes the text for use inside a JSON string.
  bool escapeJsonInPlace() noexcept;
  // ASCII letters and the Latin-1 capitals 0xC0 to 0xDF to lower case, up to
  // the first zero byte. Meant for single-byte Latin code pages, not UTF-8.
  void lowerCase() noexcept;
  // Removes tabs, line feeds, carriage returns and spaces at both ends;
  // returns the number of bytes removed.
  std::size_t trimSpace() noexcept;
  // Removes everything before the first c (and c too when includeChar).
  void dropThroughChar(char c, bool includeChar) noexcept;

  // ---- Operations with a byte buffer ----

  // Takes the byte buffer's block as this buffer's storage (the content gets
  // a zero terminator first); false when the terminator cannot be added.
  bool adoptDataBuffer(DataBuffer& buffer) noexcept;
  bool appendDataBuffer(const DataBuffer& buffer) noexcept;
  // Decodes the own text as hexadecimal and appends the bytes to buffer.
  bool hexDecodeInto(DataBuffer& buffer) const noexcept;
  static bool hexDecodeAppend(const char* text, std::size_t n, DataBuffer& buffer) noexcept;

  // The case folding of hasTextNoCase: a-z to A-Z and 0xE0-0xFE to 0xC0-0xDE.
  static unsigned char foldLatin1(unsigned char c) noexcept;

 private:
  bool appendCharGrowing(char c) noexcept;
  // True when [p, p + n) overlaps this buffer's storage (inline area or heap
  // block): such a source moves or dies when the storage grows or shifts.
  bool overlapsStorage(const void* p, std::size_t n) const noexcept;
  // Appends n bytes exactly as given (zero bytes included).
  bool appendRaw(const char* data, std::size_t n) noexcept;
  // Releases the heap block and returns to the empty inline state.
  void resetToInline() noexcept;
  // Length of the text read as a C string (up to the first zero byte).
  std::uint32_t cLength() const noexcept;
  void setLength(std::uint32_t n) noexcept {
    m_length = n;
    m_data[n] = '\0';
  }
  // Replaces len bytes at pos by repLen bytes of rep.
  bool replaceRange(std::uint32_t pos, std::uint32_t len, const char* rep,
                    std::uint32_t repLen) noexcept;
  // Position of the first / last occurrence of a pattern in the C-string
  // text, or -1.
  std::int64_t findFirst(const char* pattern, std::size_t patternLength,
                         bool noCase) const noexcept;
  std::int64_t findLast(const char* pattern, std::size_t patternLength) const noexcept;

  std::uint8_t m_marker = kLiveMarker;
  char* m_data;
  char m_inline[84];
  char* m_heap = nullptr;
  std::uint32_t m_capacity = 0;
  std::uint32_t m_length = 0;
  std::uint32_t m_increment = kFirstIncrement;
};

}  // namespace rozazar
