#include "json/DaDureRarireZ.h"

#include <cstddef>

#include "foundation/object/Allocation.h"
#include "foundation/text/XString.h"
#include "json/internal/ClsJsonObject.h"

namespace rozazar {

namespace {

// Sets out from zero-terminated UTF-16 units (null gives the empty text).
// The units are handed over in one piece: appending in pieces would grow
// the string's storage once per piece.
bool setFromWide(XString& out, const WideChar* text) noexcept {
  out.clear();
  if (text == nullptr) return true;
  std::size_t n = 0;
  while (text[n] != 0) ++n;
  if (n == 0) return true;
  constexpr std::size_t kOnStack = 256;
  char16_t onStack[kOnStack];
  char16_t* units = n <= kOnStack ? onStack : newRawArray<char16_t>(n);
  if (units == nullptr) return false;
  for (std::size_t i = 0; i < n; ++i) units[i] = static_cast<char16_t>(text[i]);
  const bool ok = out.appendUtf16N(units, n);
  if (units != onStack) delete[] units;
  return ok;
}

const WideChar* asWide(const char16_t* text) noexcept {
  return reinterpret_cast<const WideChar*>(text);
}

}  // namespace

DaDureRarireZ::DaDureRarireZ() noexcept {
  m_impl = ClsJsonObject::createNew();
  m_implBase = m_impl;
}

DaDureRarireZ::~DaDureRarireZ() {
  if (ClsBase::isLive(m_implBase)) m_implBase->release();
  m_impl = nullptr;
  m_implBase = nullptr;
}

ClsJsonObject* DaDureRarireZ::live() const noexcept {
  return ClsBase::isLive(m_implBase) ? m_impl : nullptr;
}

bool DaDureRarireZ::Load(const WideChar* jsonOrPath) noexcept {
  ClsJsonObject* impl = live();
  if (impl == nullptr) return false;
  impl->setLastCallSucceeded(false);
  XString text;
  const bool ok = setFromWide(text, jsonOrPath) && impl->Load(text);
  impl->setLastCallSucceeded(ok);
  return ok;
}

int DaDureRarireZ::MemberCount() noexcept {
  ClsJsonObject* impl = live();
  return impl != nullptr ? impl->memberCount() : 0;
}

bool DaDureRarireZ::UpdateString(const WideChar* path, const WideChar* text) noexcept {
  ClsJsonObject* impl = live();
  if (impl == nullptr) return false;
  impl->setLastCallSucceeded(false);
  if (path == nullptr) return false;
  XString pathText;
  XString valueText;
  const bool ok = setFromWide(pathText, path) && setFromWide(valueText, text) &&
                  impl->UpdateString(pathText, valueText);
  impl->setLastCallSucceeded(ok);
  return ok;
}

bool DaDureRarireZ::UpdateInt(const WideChar* path, std::int32_t value) noexcept {
  ClsJsonObject* impl = live();
  if (impl == nullptr) return false;
  impl->setLastCallSucceeded(false);
  if (path == nullptr) return false;
  XString pathText;
  const bool ok = setFromWide(pathText, path) && impl->UpdateInt(pathText, value);
  impl->setLastCallSucceeded(ok);
  return ok;
}

const WideChar* DaDureRarireZ::Emit() noexcept {
  ClsJsonObject* impl = live();
  if (impl == nullptr) return nullptr;
  impl->setLastCallSucceeded(false);
  ZoReravo* slot = resultSlot(nextResultSlot());
  if (slot == nullptr || slot->xstring() == nullptr) return nullptr;
  slot->clear();
  const bool ok = impl->Emit(*slot->xstring());
  impl->setLastCallSucceeded(ok);
  if (!ok) return nullptr;
  return asWide(slot->xstring()->getWide());
}

}  // namespace rozazar
