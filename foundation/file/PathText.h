// The path helpers: joining and splitting paths, and the absolute and
// long-path forms every file call of the foundation uses.
//
// Splitting follows the usual Windows path rules on every platform:
// elements separated by backslashes or slashes, a root made of a drive
// ("C:") or a server name ("\\server") and an optional separator.
#pragma once

#include <filesystem>
#include <string>

namespace rozazar {

class XString;

// The extension of the last element: from its last dot to its end, where a
// dot in the element's first position does not count, the element ends at
// its first colon, and "." and ".." have none. Empty when there is none.
std::wstring extensionOf(const std::wstring& path);

// `path` with the extension of its last element removed.
std::wstring withoutExtension(const std::wstring& path);

// Everything before the last element, without the separators that end it,
// except that a root keeps its separator: C:\dir for C:\dir\a.p7m, C:\ for
// C:\a.p7m. Empty for a bare file name.
std::wstring directoryOf(const std::wstring& path);

// Lower-cases every character with the C library's wide mapping.
std::wstring lowerCased(std::wstring text);

// `folder` followed by `name`, with one separator between them unless
// `folder` already ends in one.
std::filesystem::path joinPath(const std::filesystem::path& folder,
                               const std::filesystem::path& name);

bool currentDirectory(XString& out) noexcept;
// The absolute form of path; on failure out holds path unchanged and the
// result is false.
bool fullPath(const XString& path, XString& out) noexcept;
// The part after the last slash or backslash of the absolute path.
bool fileNamePart(const XString& path, XString& out) noexcept;
// The absolute, long-path form used for every system call.
void makeAbsoluteLongPath(XString& path) noexcept;

}  // namespace rozazar
