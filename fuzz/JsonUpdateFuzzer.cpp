// Loads the first part of the input as a document, then takes every further
// line as an update: a path, a tab and a text (or, for lines starting with
// '#', a number), applied with auto-create. The document is emitted after
// each update and its text must load back to itself, whatever names the
// paths create.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/text/XString.h"
#include "json/internal/ClsJsonObject.h"

namespace {

using namespace rozazar;

// Emits; with reload set, the text must also load back to itself.
void emitAndCheck(ClsJsonObject& json, bool reload) {
  XString out;
  if (!json.Emit(out)) std::abort();
  if (!reload) return;
  const std::string text(out.getUtf8(), out.sizeUtf8());
  ClsJsonObject* again = ClsJsonObject::createNew();
  if (again == nullptr) std::abort();
  XString input;
  input.setFromUtf8N(text.data(), text.size());
  // Texts that name files are not documents; the emitted text always
  // starts with '{', so it is parsed.
  if (!again->Load(input)) std::abort();
  XString second;
  again->Emit(second);
  if (std::strcmp(second.getUtf8(), out.getUtf8()) != 0) std::abort();
  again->release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string all(reinterpret_cast<const char*>(data), size);
  const std::size_t split = all.find('\n');
  ClsJsonObject* json = ClsJsonObject::createNew();
  if (json == nullptr) std::abort();
  XString document;
  // Only texts with a brace: other short texts could name files.
  const std::string head = "{" + all.substr(0, split);
  document.setFromUtf8N(head.data(), head.size());
  json->Load(document);
  // Zero bytes can't survive a zero-terminated text either.
  bool reload = all.find('\0') == std::string::npos;
  emitAndCheck(*json, reload);

  std::size_t pos = split == std::string::npos ? all.size() : split + 1;
  int updates = 0;
  while (pos < all.size() && updates++ < 64) {
    std::size_t end = all.find('\n', pos);
    if (end == std::string::npos) end = all.size();
    const std::string line = all.substr(pos, end - pos);
    pos = end + 1;
    const std::size_t tab = line.find('\t');
    const bool isNumber = !line.empty() && line[0] == '#';
    const std::string pathText =
        line.substr(isNumber ? 1 : 0, tab == std::string::npos ? tab : tab - (isNumber ? 1 : 0));
    XString path;
    path.setFromUtf8N(pathText.data(), pathText.size());
    const std::string valueText = tab == std::string::npos ? std::string() : line.substr(tab + 1);
    if (isNumber) {
      json->UpdateInt(path, static_cast<std::int32_t>(std::strtol(valueText.c_str(), nullptr, 10)));
    } else {
      XString value;
      value.setFromUtf8N(valueText.data(), valueText.size());
      json->UpdateString(path, value);
    }
    emitAndCheck(*json, reload);
  }
  json->release();
  return 0;
}
