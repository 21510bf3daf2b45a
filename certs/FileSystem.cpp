#include "FileSystem.h"

#include <system_error>

namespace varnok {
namespace fs = std::filesystem;

namespace {

[[noreturn]] void Raise(const char* operation, const fs::path& path, std::error_code error) {
  throw fs::filesystem_error(operation, path, error);
}

}  // namespace

// The standard library's own throwing overloads name the operation they
// happen to call inside (exists reports "status" in some libraries), so each
// helper calls the error-code overload and raises its own error.

bool PathExists(const fs::path& path) {
  std::error_code error;
  const bool exists = fs::exists(path, error);
  if (error) Raise("exists", path, error);
  return exists;
}

bool IsDirectoryPath(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error && status.type() != fs::file_type::not_found) Raise("status", path, error);
  return status.type() == fs::file_type::directory;
}

bool CreateDirectoryPath(const fs::path& path) {
  std::error_code error;
  const bool created = fs::create_directory(path, error);
  if (error) Raise("create_directory", path, error);
  return created;
}

bool RemovePath(const fs::path& path) {
  std::error_code error;
  const bool removed = fs::remove(path, error);
  if (error) Raise("remove", path, error);
  return removed;
}

fs::path JoinPath(const fs::path& folder, const fs::path& name) { return folder / name; }

}  // namespace varnok
