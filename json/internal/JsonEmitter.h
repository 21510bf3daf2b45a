// Writes a node tree back out as JSON text: compact, or indented by two
// spaces per level with CR LF or LF line endings. Names and strings are
// written exactly as stored (they are held escaped), literals without
// quotes. Nesting is followed on an explicit stack, so any depth is fine.
#pragma once

#include <cstdint>

namespace rozazar {

class StringBuffer;
class _ckJsonObject;

struct EmitOptions {
  std::uint8_t compact = 1;
  std::uint8_t crLf = 1;
  std::int32_t indentLevel = 0;
  // Leave out members whose value is empty ("", [], {} or no members).
  std::uint8_t omitEmpty = 0;
};

// Appends the object's text to out. False when the output can't grow, a node
// is unusable or a text reference lies outside the source text; out then
// holds a partial text.
bool emitObject(const _ckJsonObject& object, StringBuffer& out, EmitOptions& options) noexcept;

}  // namespace rozazar
