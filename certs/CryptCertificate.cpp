#include "certs/CryptCertificate.h"

namespace varnok {

CryptCertificate::CryptCertificate(PCCERT_CONTEXT certificate)
    : context(certificate != nullptr ? CertDuplicateCertificateContext(certificate) : nullptr) {}

CryptCertificate::~CryptCertificate() {
  if (chain != nullptr) CertFreeCertificateChain(chain);
  if (context != nullptr) CertFreeCertificateContext(context);
}

}  // namespace varnok
