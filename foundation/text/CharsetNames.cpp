// Character-set names of EncodingConvert and the process's ANSI code page.
#include <atomic>
#include <cstring>

#include "foundation/encoding/CharsetNameTable.h"
#include "foundation/platform/Platform.h"
#include "foundation/text/EncodingConvert.h"
#include "foundation/text/StringBuffer.h"

namespace rozazar {

namespace {

std::atomic<int> g_pinnedAnsiCodePage{0};

bool isSpace(char c) noexcept { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Removes the first occurrence of what from text (length updated).
void removeFirst(char* text, std::size_t& length, const char* what) noexcept {
  char* at = std::strstr(text, what);
  if (at == nullptr) return;
  const std::size_t n = std::strlen(what);
  std::memmove(at, at + n, length - static_cast<std::size_t>(at - text) - n + 1);
  length -= n;
}

}  // namespace

int processAnsiCodePage() noexcept {
  const int pinned = g_pinnedAnsiCodePage.load(std::memory_order_relaxed);
  return pinned != 0 ? pinned : platform::ansiCodePage();
}

void pinAnsiCodePageForTesting(int codePage) noexcept {
  g_pinnedAnsiCodePage.store(codePage, std::memory_order_relaxed);
}

int EncodingConvert::charsetToCodePage(const char* name) noexcept {
  if (name == nullptr) return processAnsiCodePage();
  // Names longer than any in the table cannot match; they are cut, not read
  // past, so a huge argument costs nothing.
  char text[128];
  const char* start = name;
  while (isSpace(*start)) ++start;
  std::size_t length = 0;
  for (const char* p = start; *p != '\0' && length + 1 < sizeof text; ++p) {
    char c = *p;
    if (c == '"' || c == '\'') continue;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '_') c = '-';
    text[length++] = c;
  }
  while (length > 0 && isSpace(text[length - 1])) --length;
  text[length] = '\0';
  // "no-bom-" first: removing "bom-" first would leave "no-" behind.
  removeFirst(text, length, "no-bom-");
  removeFirst(text, length, "bom-");
  if (length < 3 || std::strcmp(text, "ansi") == 0) return processAnsiCodePage();

  // The alias table is sorted by byte value.
  std::size_t low = 0;
  std::size_t high = encoding::kCharsetAliasCount;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    const int order = std::strcmp(encoding::kCharsetAliases[middle].name, text);
    if (order == 0) return encoding::kCharsetAliases[middle].codePage;
    if (order < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return 0;
}

bool EncodingConvert::codePageToCharset(int codePage, StringBuffer& out) noexcept {
  for (std::size_t i = 0; i < encoding::kCanonicalCharsetCount; ++i) {
    if (encoding::kCanonicalCharsets[i].codePage == codePage)
      return out.setText(encoding::kCanonicalCharsets[i].name);
  }
  return false;
}

}  // namespace rozazar
