#pragma once
// Whole-file reads and writes on wide paths, shared for reading and writing
// by others.

#include <cstdint>
#include <vector>

namespace varnok {

using ByteList = std::vector<std::uint8_t>;

// Appends the bytes of the file at `path` to `bytes`. False (and `bytes`
// unchanged) when the file cannot be opened; a read error after the open is
// not reported.
bool ReadFileBytes(const wchar_t* path, ByteList& bytes);

// Writes `bytes` to `path`, creating the file or truncating an existing one.
// False when the file cannot be opened; a write error after the open is not
// reported.
bool WriteFileBytes(const wchar_t* path, const ByteList& bytes);

}  // namespace varnok
