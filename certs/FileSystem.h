#pragma once
// File-system operations on wide paths for the CRL download folders. Each
// raises std::filesystem::filesystem_error on failure, carrying the name of
// the operation ("exists", "status", "create_directory", "remove"), the path
// and the system's error code.

#include <filesystem>

namespace varnok {

// True when something exists at `path`; false when nothing does.
bool PathExists(const std::filesystem::path& path);

// True when `path` is a directory; false when it is something else or
// missing.
bool IsDirectoryPath(const std::filesystem::path& path);

// Creates the directory `path` (its parent must exist). True when it was
// created, false when a directory of that name already exists.
bool CreateDirectoryPath(const std::filesystem::path& path);

// Removes the file or empty directory at `path`. True when something was
// removed, false when nothing was there.
bool RemovePath(const std::filesystem::path& path);

// `folder` followed by `name`, with one backslash between them unless
// `folder` already ends in a separator.
std::filesystem::path JoinPath(const std::filesystem::path& folder,
                               const std::filesystem::path& name);

}  // namespace varnok
