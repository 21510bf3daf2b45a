#pragma once
// One reference to a certificate context, released when the object ends.

#include <windows.h>

#include <wincrypt.h>

#include <utility>

namespace varnok {

class CertificateReference {
 public:
  CertificateReference() = default;
  // Takes over `context`, a reference the caller owned.
  explicit CertificateReference(PCCERT_CONTEXT context) : context_(context) {}
  ~CertificateReference() {
    if (context_ != nullptr) CertFreeCertificateContext(context_);
  }
  CertificateReference(CertificateReference&& other) noexcept
      : context_(std::exchange(other.context_, nullptr)) {}
  CertificateReference& operator=(CertificateReference&& other) noexcept {
    std::swap(context_, other.context_);
    return *this;
  }
  CertificateReference(const CertificateReference&) = delete;
  CertificateReference& operator=(const CertificateReference&) = delete;

  PCCERT_CONTEXT Get() const { return context_; }

 private:
  PCCERT_CONTEXT context_ = nullptr;
};

}  // namespace varnok
