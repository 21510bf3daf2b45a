#pragma once
// Files on wide paths for the certificate services and the console: whole-
// file reads and writes, shared for reading and writing by others, and the
// folder operations of the CRL download.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace varnok {

using ByteList = std::vector<std::uint8_t>;

// Appends the bytes of the file at `path` to `bytes`. False (and `bytes`
// unchanged) when the file cannot be opened or read.
bool ReadFileBytes(const wchar_t* path, ByteList& bytes);

// Writes `bytes` to `path`, creating the file or truncating an existing one.
// False when the file cannot be opened or a write fails or stops short.
bool WriteFileBytes(const wchar_t* path, const ByteList& bytes);

// The folder operations below raise std::filesystem::filesystem_error on
// failure, carrying the name of the operation ("exists", "status",
// "create_directory", "remove"), the path and the system's error code.

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

}  // namespace varnok
