#include "certs/FindValidBySubject.h"

namespace varnok {

SubjectSearchResult FindValidBySubject(HCERTSTORE store, const wchar_t* subjectText) {
  SubjectSearchResult result;
  if (store == nullptr) return result;

  // Passing the previous candidate to the next search releases it.
  PCCERT_CONTEXT candidate = nullptr;
  bool matched = false;
  while ((candidate = CertFindCertificateInStore(store, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                                 CERT_FIND_SUBJECT_STR_W, subjectText,
                                                 candidate)) != nullptr) {
    matched = true;
    if (CertVerifyTimeValidity(nullptr, candidate->pCertInfo) == 0) {
      result.outcome = SubjectSearchOutcome::Found;
      result.certificate = CertificateReference(candidate);
      return result;
    }
  }
  result.outcome = matched ? SubjectSearchOutcome::NoneValid : SubjectSearchOutcome::NotFound;
  return result;
}

}  // namespace varnok
