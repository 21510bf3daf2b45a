// The forgiving single-pass JSON scanner that builds the node tree. It never
// reports a syntax error: bytes that don't fit are skipped, and text that
// ends early ends the document. Nesting is kept on two explicit stacks, so
// depth is bounded only by memory.
#pragma once

namespace rozazar {

class DataBuffer;
class LogBase;
class _ckJsonDoc;
class _ckJsonObject;

// Without a target the document takes the text as its source text (moved
// when takeOver is set, copied otherwise) and names and scalars refer into
// it. With a target the nodes are built under the target and every text is
// copied. False only when memory runs out; what was read stays attached.
bool parseJsonDoc(_ckJsonDoc& doc, DataBuffer& input, bool takeOver, _ckJsonObject* target,
                  LogBase& log) noexcept;

}  // namespace rozazar
