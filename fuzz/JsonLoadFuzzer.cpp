// Parses arbitrary bytes in place and in copy mode and emits the trees:
// both modes must give the same text, and that text must parse back to
// itself (load, emit, load, emit gives two equal texts). Zero bytes can't
// take part in that: the emitted text is zero-terminated.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "foundation/containers/DataBuffer.h"
#include "foundation/object/LogBase.h"
#include "foundation/text/StringBuffer.h"
#include "json/internal/JsonEmitter.h"
#include "json/internal/JsonNodes.h"
#include "json/internal/JsonParser.h"

namespace {

using namespace rozazar;

// The emission of input parsed into a fresh document (in place or by copy).
bool parseAndEmit(const unsigned char* data, std::size_t size, bool copyMode, bool compact,
                  StringBuffer& out) {
  _ckJsonDoc* doc = _ckJsonDoc::createNew();
  if (doc == nullptr || !doc->resetTopObject()) std::abort();
  DataBuffer input;
  if (size > 0) {
    // An owned block of exactly the input's size: reads past it are caught.
    auto* block = new unsigned char[size];
    std::memcpy(block, data, size);
    input.adoptBlock(block, size);
  }
  LogNull log;
  if (!parseJsonDoc(*doc, input, true, copyMode ? doc->topObject() : nullptr, log)) std::abort();
  EmitOptions options;
  options.compact = compact ? 1 : 0;
  const bool ok = emitObject(*doc->topObject(), out, options);
  RozazarObject::deleteObject(doc);
  return ok;
}

bool same(const StringBuffer& a, const StringBuffer& b) {
  return a.length() == b.length() && std::memcmp(a.text(), b.text(), a.length()) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  StringBuffer inPlace;
  StringBuffer copied;
  if (!parseAndEmit(data, size, false, true, inPlace)) std::abort();
  if (!parseAndEmit(data, size, true, true, copied)) std::abort();
  if (!same(inPlace, copied)) std::abort();

  StringBuffer again;
  if (!parseAndEmit(reinterpret_cast<const unsigned char*>(inPlace.text()), inPlace.length(), false,
                    true, again))
    std::abort();
  const bool hasZero = size > 0 && std::memchr(data, 0, size) != nullptr;
  if (!hasZero && !same(inPlace, again)) std::abort();

  StringBuffer indented;
  if (!parseAndEmit(data, size, false, false, indented)) std::abort();
  return 0;
}
