#include "foundation/encoding/CodePageTables.h"

#include <atomic>
#include <initializer_list>
#include <new>

namespace rozazar::encoding {

namespace {

const CodePageData* findData(int codePage) noexcept {
  const CodePageData* data = findSingleBytePage(codePage);
  return data != nullptr ? data : findMultiBytePage(codePage);
}

// Unpacks a segment stream into a table indexed by key. A segment is
// start, count << 2 | kind, then for kind 0 count code points, for kind 1
// the first of count consecutive code points, for kind 2 the first code
// point and count - 1 byte-sized increments, two to a word, low byte first,
// for kind 3 one value for all count keys.
void unpack(const std::uint16_t* words, std::size_t length, std::uint16_t* table,
            std::size_t tableSize) noexcept {
  std::size_t i = 0;
  while (i + 1 < length) {
    const std::size_t start = words[i];
    const std::size_t count = words[i + 1] >> 2;
    const unsigned kind = words[i + 1] & 3u;
    i += 2;
    if (start + count > tableSize || i >= length) return;
    if (kind == 0) {
      if (i + count > length) return;
      for (std::size_t k = 0; k < count; ++k) table[start + k] = words[i + k];
      i += count;
    } else if (kind == 1) {
      for (std::size_t k = 0; k < count; ++k)
        table[start + k] = static_cast<std::uint16_t>(words[i] + k);
      i += 1;
    } else if (kind == 3) {
      for (std::size_t k = 0; k < count; ++k) table[start + k] = words[i];
      i += 1;
    } else {
      if (i + 1 + count / 2 > length) return;
      std::uint16_t value = words[i];
      table[start] = value;
      for (std::size_t k = 1; k < count; ++k) {
        const std::uint16_t word = words[i + 1 + (k - 1) / 2];
        value = static_cast<std::uint16_t>(value + ((word >> (8 * ((k - 1) % 2))) & 0xFFu));
        table[start + k] = value;
      }
      i += 1 + count / 2;
    }
  }
}

// A plane of 65536 keys, all undefined; null when neither the page nor its
// base has one.
std::uint16_t* newPlane(const std::uint16_t* own, const std::uint16_t* base,
                        bool& failed) noexcept {
  if (own == nullptr && base == nullptr) return nullptr;
  auto* plane = new (std::nothrow) std::uint16_t[65536];
  if (plane == nullptr) {
    failed = true;
    return nullptr;
  }
  for (std::size_t k = 0; k < 65536; ++k) plane[k] = CodePageTables::kUndefined;
  return plane;
}

void addReverse(std::uint16_t* reverse, std::uint16_t codePoint, std::uint16_t code) noexcept {
  if (codePoint == CodePageTables::kLead || codePoint == CodePageTables::kUndefined) return;
  if (codePoint != 0 && reverse[codePoint] == 0) reverse[codePoint] = code;
}

void destroy(CodePageTables* tables) noexcept {
  if (tables == nullptr) return;
  delete[] tables->pairs;
  delete[] tables->triples;
  delete[] tables->reverse;
  delete tables;
}

CodePageTables* build(const CodePageData& data) noexcept {
  auto* tables = new (std::nothrow) CodePageTables;
  if (tables == nullptr) return nullptr;
  tables->data = &data;
  static const CodePageData kNoBase = {};
  const CodePageData* found = data.basePage != 0 ? findData(data.basePage) : nullptr;
  const CodePageData& base = found != nullptr ? *found : kNoBase;
  bool failed = false;
  tables->pairs = newPlane(data.pairs, base.pairs, failed);
  tables->triples = newPlane(data.triples, base.triples, failed);
  tables->reverse = new (std::nothrow) std::uint16_t[65536]();
  if (failed || tables->reverse == nullptr) {
    destroy(tables);
    return nullptr;
  }
  for (std::uint16_t& value : tables->singles) value = CodePageTables::kUndefined;
  // The base page first, then this page's own data over it.
  for (const CodePageData* layer : {&base, &data}) {
    unpack(layer->singles, layer->singlesLength, tables->singles, 256);
    if (tables->pairs != nullptr) unpack(layer->pairs, layer->pairsLength, tables->pairs, 65536);
    if (tables->triples != nullptr)
      unpack(layer->triples, layer->triplesLength, tables->triples, 65536);
  }
  for (std::size_t k = 0; k < data.foldCount; ++k) {
    const unsigned b = data.fold[k] >> 8;
    if (b >= 0x80) tables->fold[b - 0x80] = static_cast<std::uint8_t>(data.fold[k] & 0x7Fu);
  }
  for (unsigned b = 0; b < 256; ++b) {
    if (tables->singles[b] == CodePageTables::kLead) tables->hasLeads = true;
    addReverse(tables->reverse, tables->singles[b], static_cast<std::uint16_t>(b));
  }
  if (tables->pairs != nullptr) {
    for (unsigned key = 0x8000; key < 65536; ++key)
      addReverse(tables->reverse, tables->pairs[key], static_cast<std::uint16_t>(key));
  }
  if (tables->triples != nullptr) {
    for (unsigned key = 0; key < 65536; ++key)
      addReverse(tables->reverse, tables->triples[key], static_cast<std::uint16_t>(key & 0x7F7Fu));
  }
  for (std::size_t k = 0; k < data.preferredCount; ++k) {
    tables->reverse[data.preferred[k] >> 16] = static_cast<std::uint16_t>(data.preferred[k]);
  }
  constexpr std::size_t kQuestionMark = 0x3F;
  if (tables->reverse[kQuestionMark] != 0) tables->replacement = tables->reverse[kQuestionMark];
  return tables;
}

// One slot per page that has been asked for; a slot is claimed by code page
// number, then its tables are published once.
struct Slot {
  std::atomic<int> codePage{0};
  std::atomic<CodePageTables*> tables{nullptr};
};
constexpr std::size_t kSlotCount = 256;
Slot g_slots[kSlotCount];

Slot* slotFor(int codePage) noexcept {
  for (Slot& slot : g_slots) {
    int current = slot.codePage.load(std::memory_order_acquire);
    if (current == codePage) return &slot;
    if (current == 0 &&
        slot.codePage.compare_exchange_strong(current, codePage, std::memory_order_acq_rel)) {
      return &slot;
    }
    if (current == codePage) return &slot;
  }
  return nullptr;
}

}  // namespace

bool hasCodePageData(int codePage) noexcept { return findData(codePage) != nullptr; }

const CodePageTables* codePageTables(int codePage) noexcept {
  const CodePageData* data = findData(codePage);
  if (data == nullptr) return nullptr;
  Slot* slot = slotFor(codePage);
  if (slot == nullptr) return nullptr;
  CodePageTables* tables = slot->tables.load(std::memory_order_acquire);
  if (tables != nullptr) return tables;
  CodePageTables* fresh = build(*data);
  if (fresh == nullptr) return nullptr;
  if (!slot->tables.compare_exchange_strong(tables, fresh, std::memory_order_acq_rel)) {
    // Another thread published first; its tables are equal to these.
    destroy(fresh);
    return tables;
  }
  return fresh;
}

}  // namespace rozazar::encoding
