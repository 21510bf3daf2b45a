#pragma once
// The parts of a Windows path that the commands need, by the usual path
// rules: elements separated by backslashes or slashes, a root made of a
// drive ("C:") or a server name ("\\server") and an optional separator.

#include <string>

// The extension of the last element: from its last dot to its end, where a
// dot in the element's first position does not count, the element ends at
// its first colon, and "." and ".." have none. Empty when there is none.
std::wstring ExtensionOf(const std::wstring& path);

// `path` with the extension of its last element removed.
std::wstring WithoutExtension(const std::wstring& path);

// Everything before the last element, without the separators that end it,
// except that a root keeps its separator: C:\dir for C:\dir\a.p7m, C:\ for
// C:\a.p7m. Empty for a bare file name.
std::wstring DirectoryOf(const std::wstring& path);

// Lower-cases every character with the C library's wide mapping.
std::wstring LowerCased(std::wstring text);
