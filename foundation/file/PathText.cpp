#include "foundation/file/PathText.h"

#include <cstring>
#include <cwctype>
#include <string_view>

#include "foundation/platform/Platform.h"
#include "foundation/text/XString.h"

namespace rozazar {

namespace {

constexpr std::size_t kPathUnits = 2048;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Length of the root name: "C:" or "\\server" (also with slashes); 0 when
// there is none.
size_t RootNameLength(const std::wstring& path) {
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':') return 2;
  if (path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2])) {
    size_t end = 2;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    return end;
  }
  return 0;
}

// Start of the last element.
size_t LastElementStart(const std::wstring& path) {
  const size_t root = RootNameLength(path);
  size_t start = path.size();
  while (start > root && !IsSeparator(path[start - 1])) --start;
  return start;
}

// Position of the extension's dot in `path`, or npos.
size_t ExtensionStart(const std::wstring& path) {
  const size_t start = LastElementStart(path);
  size_t end = path.find(L':', start);
  if (end == std::wstring::npos) end = path.size();
  const std::wstring element = path.substr(start, end - start);
  if (element == L"." || element == L"..") return std::wstring::npos;
  const size_t dot = element.rfind(L'.');
  if (dot == std::wstring::npos || dot == 0) return std::wstring::npos;
  return start + dot;
}

}  // namespace

std::wstring extensionOf(const std::wstring& path) {
  const size_t dot = ExtensionStart(path);
  if (dot == std::wstring::npos) return std::wstring();
  size_t end = path.find(L':', dot);
  if (end == std::wstring::npos) end = path.size();
  return path.substr(dot, end - dot);
}

std::wstring withoutExtension(const std::wstring& path) {
  const size_t dot = ExtensionStart(path);
  if (dot == std::wstring::npos) return path;
  size_t end = path.find(L':', dot);
  if (end == std::wstring::npos) end = path.size();
  return path.substr(0, dot) + path.substr(end);
}

std::wstring directoryOf(const std::wstring& path) {
  const size_t root = RootNameLength(path);
  size_t end = LastElementStart(path);
  // The separators that end the directory go, but not the root's own.
  size_t rootEnd = root;
  while (rootEnd < path.size() && IsSeparator(path[rootEnd])) ++rootEnd;
  while (end > rootEnd && IsSeparator(path[end - 1])) --end;
  if (end < rootEnd) end = rootEnd;
  // Only the root is left: it keeps one separator of its own.
  if (end == rootEnd && rootEnd > root) return path.substr(0, root + 1);
  return path.substr(0, end);
}

std::wstring lowerCased(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
  return text;
}

std::filesystem::path joinPath(const std::filesystem::path& folder,
                               const std::filesystem::path& name) {
  return folder / name;
}

bool currentDirectory(XString& out) noexcept {
  char16_t directory[kPathUnits];
  if (!platform::currentDirectory(directory, kPathUnits)) return false;
  return out.setFromUtf16(directory);
}

bool fullPath(const XString& path, XString& out) noexcept {
  XString copy;
  if (!copy.copyFrom(path)) return false;
  const char16_t* wide = copy.getUtf16();
  char16_t absolute[kPathUnits];
  if (wide == nullptr || wide[0] == 0 || !platform::fullPathName(wide, absolute, kPathUnits)) {
    out.copyFrom(copy);
    return false;
  }
  return out.setFromUtf16(absolute);
}

bool fileNamePart(const XString& path, XString& out) noexcept {
  XString absolute;
  fullPath(path, absolute);
  const char* text = absolute.getUtf8();
  if (text == nullptr) return false;
  const char* slash = std::strrchr(text, '\\');
  const char* other = std::strrchr(text, '/');
  if (other != nullptr && (slash == nullptr || other > slash)) slash = other;
  return out.setFromUtf8(slash != nullptr ? slash + 1 : text);
}

void makeAbsoluteLongPath(XString& path) noexcept {
  if (path.equalsUtf8("NUL")) return;
  const char16_t* text = path.getUtf16();
  if (text == nullptr || text[0] == 0) return;
  char16_t absolute[kPathUnits];
  if (!platform::fullPathName(text, absolute, kPathUnits)) return;
  const std::u16string_view full(absolute);
  if (!platform::usesLongPathPrefix() || full.rfind(u"\\\\?\\", 0) == 0 ||
      full.rfind(u"\\\\.\\", 0) == 0) {
    path.setFromUtf16(absolute);
    return;
  }
  if (full.rfind(u"\\\\", 0) == 0) {
    path.setFromUtf16(u"\\\\?\\UNC");
    path.appendUtf16(absolute + 1);
  } else {
    path.setFromUtf16(u"\\\\?\\");
    path.appendUtf16(absolute);
  }
}

}  // namespace rozazar
