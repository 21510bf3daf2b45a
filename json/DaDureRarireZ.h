// The wide-character JSON interface that the console uses: load a document
// from text or a file, count its members, update members by path, emit its
// compact text. Results of Emit stay valid for the next nine calls.
#pragma once

#include <cstdint>

#include "foundation/text/ZoReravo.h"
#include "json/WideText.h"

namespace rozazar {

class ClsBase;
class ClsJsonObject;

class DaDureRarireZ : public ReVeviZeduZode {
 public:
  DaDureRarireZ() noexcept;
  DaDureRarireZ(const DaDureRarireZ&) = delete;
  DaDureRarireZ& operator=(const DaDureRarireZ&) = delete;
  ~DaDureRarireZ() override;

  // JSON text, or the path of a file holding it. Null counts as empty text.
  bool Load(const WideChar* jsonOrPath) noexcept;
  // Members of the top object; 0 before anything was loaded.
  int MemberCount() noexcept;
  // Stores text (escaped) or the number at path, creating what is missing.
  // A null path fails; a null text counts as empty.
  bool UpdateString(const WideChar* path, const WideChar* text) noexcept;
  bool UpdateInt(const WideChar* path, std::int32_t value) noexcept;
  // The compact text; owned by the interface, valid until ten further
  // calls of Emit or its destruction. Null only when no result slot can be
  // made.
  const WideChar* Emit() noexcept;

 private:
  // The implementation, or null when it is missing or dead.
  ClsJsonObject* live() const noexcept;

  ClsJsonObject* m_impl = nullptr;
  ClsBase* m_implBase = nullptr;
};

}  // namespace rozazar
