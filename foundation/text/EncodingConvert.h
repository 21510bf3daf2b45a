// The foundation's code-page converter: converts bytes between Windows code
// pages and resolves character-set names to code page numbers and back.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rozazar {

class DataBuffer;
class LogBase;
class StringBuffer;

class EncodingConvert {
 public:
  // Converts n bytes from one code page to another and appends the result
  // to out. A target of 0 means the source's own code page; equal code pages
  // and text that starts with "%PDF-1" are appended unchanged. False when a
  // code page is not supported or out cannot grow. Characters the target
  // cannot hold, and ill-formed input, are replaced and set the lossy flag.
  bool EncConvert(int fromCodePage, int toCodePage, const unsigned char* data, std::size_t n,
                  DataBuffer& out, LogBase& log) noexcept;

  // EncConvert without the PDF rule, for text that is not a file's content:
  // a string that merely begins with "%PDF-1" is still converted.
  bool convertText(int fromCodePage, int toCodePage, const unsigned char* data, std::size_t n,
                   DataBuffer& out, LogBase& log) noexcept;

  // EncConvert from the code page that charsetName names; an unknown name
  // is logged and the data is taken as UTF-8.
  bool convertFromCharset(const char* charsetName, int toCodePage, const unsigned char* data,
                          std::size_t n, DataBuffer& out, LogBase& log) noexcept;

  // Whether any conversion of this converter had to replace characters.
  bool lossy() const noexcept { return m_lossy; }
  void clearLossy() noexcept { m_lossy = false; }

  // The code page a character-set name stands for; 0 for an unknown name.
  // Very short names and "ansi" give the process's ANSI code page.
  static int charsetToCodePage(const char* name) noexcept;
  // The canonical name of a code page into out; false for an unknown number.
  static bool codePageToCharset(int codePage, StringBuffer& out) noexcept;

 private:
  bool m_lossy = false;
};

// The process's ANSI code page, read from the system at each call unless a
// test has pinned it.
int processAnsiCodePage() noexcept;
// Pins the value processAnsiCodePage returns; 0 returns to the system's.
void pinAnsiCodePageForTesting(int codePage) noexcept;

}  // namespace rozazar
