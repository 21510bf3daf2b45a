// The implementation object behind the wide JSON interface. It holds its
// document only through weak references, runs every public operation under
// its own critical section with a freshly cleared log, and never lets an
// exception out.
#pragma once

#include <cstdint>

#include "json/internal/ClsBase.h"
#include "json/internal/JsonPath.h"

namespace rozazar {

class DataBuffer;
class LogBase;
class StringBuffer;
class XString;
class _ckJsonDoc;
class _ckWeakPtr;

// The version text written at the start of every logged operation.
extern const char* const kJsonEngineVersion;

// The link from an interface object to its document and top object.
class _clsJsonMixin {
 public:
  _clsJsonMixin() noexcept = default;
  _clsJsonMixin(const _clsJsonMixin&) = delete;
  _clsJsonMixin& operator=(const _clsJsonMixin&) = delete;
  virtual ~_clsJsonMixin();

 protected:
  // Lets go of the document: deletes it with its tree unless someone else
  // still holds a reference to it.
  void dropDocument() noexcept;
  // A document with an empty top object when there is none yet.
  bool ensureDocument() noexcept;
  // Creates the top object reference and registers it with the object, so
  // that it is cleared when the object dies.
  bool referenceTopObject(_ckJsonDoc& doc) noexcept;

  _ckWeakPtr* m_docRef = nullptr;
  _ckWeakPtr* m_topRef = nullptr;
};

class ClsJsonObject : public ClsBase, public _clsJsonMixin {
 public:
  // A new object with reference count 1, or null.
  static ClsJsonObject* createNew() noexcept;
  ClsJsonObject() noexcept = default;

  // Parses JSON text, or reads the file it names: a text of under 512 UTF-8
  // bytes without '{' that names an existing file.
  bool Load(XString& text) noexcept;
  // The top object's text; always true (a failure leaves out empty).
  bool Emit(XString& out) noexcept;
  bool UpdateString(XString& path, XString& text) noexcept;
  bool UpdateInt(XString& path, std::int32_t value) noexcept;
  // Members of the top object, 0 when there is none.
  int memberCount() noexcept;
  bool toText(XString& out) noexcept override;

  bool loadFromBuffer(DataBuffer& buffer, LogBase& log) noexcept;
  bool emitTopObject(StringBuffer& out, LogBase& log) noexcept;

 protected:
  ~ClsJsonObject() override;

 private:
  bool update(const char* context, XString& path, const char* text, bool quoted) noexcept;
  JsonPathOptions pathSettings() const noexcept;

  std::int32_t m_pathIndexI = 0;
  std::int32_t m_pathIndexJ = 0;
  std::int32_t m_pathIndexK = 0;
  char m_pathSeparator = '.';
  std::uint8_t m_compactOutput = 1;
  std::uint8_t m_useCrLf = 1;
  StringBuffer* m_pathHead = nullptr;
};

}  // namespace rozazar
