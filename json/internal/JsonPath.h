// Path access into the node tree: texts such as "SignFile", "a.b[2].c" or
// "list[i].name" name a place, and the resolver finds it, optionally creating
// the members, objects and array items that are missing on the way. Errors go
// to the log as error lines followed by data lines naming the path.
#pragma once

#include <cstdint>

namespace rozazar {

class LogBase;
class _ckJsonBase;
class _ckJsonObject;
class _ckJsonValue;
class _ckWeakPtr;

// What to create for a missing member at the end of a path.
enum JsonLeafKind : int {
  kLeafString = 0,
  kLeafArray = 1,
  kLeafObject = 2,
};

enum JsonPathMode : int {
  kPathFind = 0,
  // Give a member's value node even when it holds an object.
  kPathFindValue = 1,
  kPathRemove = 2,
};

struct JsonPathOptions {
  char separator = '.';
  bool autoCreate = false;
  int leafKind = kLeafString;
  int mode = kPathFind;
  // The numbers that the index letters i, j and k stand for.
  std::int32_t indexI = 0;
  std::int32_t indexJ = 0;
  std::int32_t indexK = 0;
};

// The node (a _ckJsonValue or a _ckJsonObject) the path names, or null.
_ckJsonBase* resolveObjectPath(_ckJsonObject* object, const char* path,
                               const JsonPathOptions& options, LogBase& log) noexcept;
// As resolveObjectPath for a path that starts at '[' inside an array value.
_ckJsonBase* resolveArrayPath(_ckJsonValue* array, const char* path, const JsonPathOptions& options,
                              LogBase& log) noexcept;

// Resolves path from the top object behind the weak reference (creating
// what is missing when autoCreate is set), JSON-escapes text and stores it
// in the value found there.
bool setPathValue(_ckWeakPtr* topObject, const char* path, const char* text, bool autoCreate,
                  bool quoted, const JsonPathOptions& settings, LogBase& log) noexcept;

}  // namespace rozazar
