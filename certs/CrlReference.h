#pragma once
// One reference to a CRL context, released when the object ends.

#include <windows.h>

#include <wincrypt.h>

namespace varnok {

class CrlReference {
 public:
  // Takes over `context` (may be null).
  explicit CrlReference(PCCRL_CONTEXT context) : context_(context) {}
  ~CrlReference() {
    if (context_ != nullptr) CertFreeCRLContext(context_);
  }
  CrlReference(const CrlReference&) = delete;
  CrlReference& operator=(const CrlReference&) = delete;

  PCCRL_CONTEXT Get() const { return context_; }

 private:
  PCCRL_CONTEXT context_;
};

}  // namespace varnok
