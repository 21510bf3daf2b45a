#include "certs/RevocationCheck.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "certs/ChainParameters.h"
#include "certs/CommonLibrary.h"
#include "certs/CrlDownload.h"
#include "certs/CryptCertificate.h"
#include "certs/CryptoHandles.h"
#include "certs/FileSystem.h"
#include "certs/StatusMessage.h"
#include "foundation/file/PathText.h"

namespace varnok {
namespace {

constexpr std::int32_t kRevoked = static_cast<std::int32_t>(0x80092010);
constexpr std::int32_t kNoRevocationCheck = static_cast<std::int32_t>(0x80092012);
constexpr wchar_t kValid[] = L"Сертификатът е валиден.";
constexpr wchar_t kNotChecked[] =
    L"Функцията за анулиране не успя да провери отмяната на сертификата.";
constexpr char kReasonCodeOid[] = "2.5.29.21";
constexpr char kHoldInstructionOid[] = "2.5.29.23";
constexpr char kInvalidityDateOid[] = "2.5.29.24";
constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

VerificationResult NotChecked() { return {kNotChecked, kNoRevocationCheck}; }

bool IsCandidateUrl(const std::wstring& url) {
  return url.size() >= 4 && url.find(L"http") != std::wstring::npos;
}

// True when `issuer` signed both the certificate and the CRL.
bool SignedBy(PCCERT_CONTEXT certificate, PCCRL_CONTEXT crl, PCCERT_CONTEXT issuer) {
  return CryptVerifyCertificateSignatureEx(
             0, X509_ASN_ENCODING, CRYPT_VERIFY_CERT_SIGN_SUBJECT_CERT,
             const_cast<CERT_CONTEXT*>(certificate), CRYPT_VERIFY_CERT_SIGN_ISSUER_CERT,
             const_cast<CERT_CONTEXT*>(issuer), 0, nullptr) &&
         CryptVerifyCertificateSignatureEx(0, X509_ASN_ENCODING, CRYPT_VERIFY_CERT_SIGN_SUBJECT_CRL,
                                           const_cast<CRL_CONTEXT*>(crl),
                                           CRYPT_VERIFY_CERT_SIGN_ISSUER_CERT,
                                           const_cast<CERT_CONTEXT*>(issuer), 0, nullptr);
}

// True when a certificate named as the certificate's issuer in `store`
// signed both the certificate and the CRL.
bool IssuerInStoreSigned(HCERTSTORE store, PCCERT_CONTEXT certificate, PCCRL_CONTEXT crl) {
  if (store == nullptr) return false;
  PCCERT_CONTEXT candidate = nullptr;
  while ((candidate = CertFindCertificateInStore(store, kEncoding, 0, CERT_FIND_SUBJECT_NAME,
                                                 &certificate->pCertInfo->Issuer, candidate)) !=
         nullptr) {
    if (SignedBy(certificate, crl, candidate)) {
      CertFreeCertificateContext(candidate);
      return true;
    }
  }
  return false;
}

// The issuer the chain engine finds (also through the certificate's own
// store), without revocation checking and without network retrieval: a
// chain engine waiting on a server that never answers cannot be stopped
// under Wine. An issuer fetched earlier, by the chain verification, is in
// the URL cache and still found.
bool ChainIssuerSigned(PCCERT_CONTEXT certificate, PCCRL_CONTEXT crl) {
  CERT_CHAIN_PARA para = {};
  para.cbSize = kChainParaUsageOnlySize;
  para.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  ChainHandle chain;
  if (!CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &para,
                               CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL, nullptr, chain.receive())) {
    return false;
  }
  if (chain.get()->cChain == 0 || chain.get()->rgpChain[0]->cElement < 2) return false;
  return SignedBy(certificate, crl, chain.get()->rgpChain[0]->rgpElement[1]->pCertContext);
}

// A CRL decides only when it names the certificate's issuer and the
// issuer's key signed it: anyone can serve a CRL over plain HTTP, and a CRL
// of another CA may list the same serial number.
bool IsAuthenticCrl(PCCERT_CONTEXT certificate, PCCRL_CONTEXT crl) {
  if (!CertCompareCertificateName(X509_ASN_ENCODING, &certificate->pCertInfo->Issuer,
                                  &crl->pCrlInfo->Issuer)) {
    return false;
  }
  if (IssuerInStoreSigned(certificate->hCertStore, certificate, crl)) return true;
  for (const wchar_t* name : {L"CA", L"ROOT", L"MY"}) {
    StoreHandle store(CertOpenSystemStoreW(0, name));
    if (IssuerInStoreSigned(store.get(), certificate, crl)) return true;
  }
  return ChainIssuerSigned(certificate, crl);
}

// True when one of `extensions` is critical and not among `known`.
bool HasUnknownCriticalExtension(DWORD count, const CERT_EXTENSION* extensions,
                                 std::initializer_list<const char*> known) {
  for (DWORD i = 0; i < count; ++i) {
    if (!extensions[i].fCritical) continue;
    const char* oid = extensions[i].pszObjId;
    const auto same = [oid](const char* name) { return oid != nullptr && strcmp(oid, name) == 0; };
    if (std::none_of(known.begin(), known.end(), same)) return true;
  }
  return false;
}

// A CRL whose own extensions or whose entries' extensions include a
// critical one the check cannot process must not decide anything: a delta
// CRL (delta CRL indicator) or an indirect CRL (certificate issuer entries)
// lists only part of the story. The issuing distribution point is known: the
// CRL was fetched from the certificate's own distribution point.
bool HasUnprocessableExtension(const CRL_INFO& crl) {
  if (HasUnknownCriticalExtension(
          crl.cExtension, crl.rgExtension,
          {szOID_AUTHORITY_KEY_IDENTIFIER2, szOID_ISSUER_ALT_NAME2, szOID_CRL_NUMBER,
           szOID_ISSUING_DIST_POINT, szOID_FRESHEST_CRL})) {
    return true;
  }
  for (DWORD i = 0; i < crl.cCRLEntry; ++i) {
    const CRL_ENTRY& entry = crl.rgCRLEntry[i];
    if (HasUnknownCriticalExtension(entry.cExtension, entry.rgExtension,
                                    {kReasonCodeOid, kInvalidityDateOid, kHoldInstructionOid})) {
      return true;
    }
  }
  return false;
}

VerificationResult RevokedResult(PCRL_ENTRY entry) {
  std::wstring message = L"Сертификатът е отменен на ";
  message += FormatLocalDate(entry->RevocationDate);
  message += L"\n";
  PCERT_EXTENSION reason = CertFindExtension(kReasonCodeOid, entry->cExtension, entry->rgExtension);
  if (reason != nullptr && reason->Value.cbData > 0) {
    message += L"Причина за прекратяване: ";
    message += RevocationReasonText(reason->Value.pbData[reason->Value.cbData - 1]);
    message += L"\n";
  }
  return {message, kRevoked};
}

}  // namespace

std::wstring CrlFileName(const std::wstring& url, HashFunction hashFunction,
                         HMODULE messageModule) {
  const auto byteCount = static_cast<std::int32_t>(url.size() * sizeof(wchar_t));
  return hashFunction(url.data(), byteCount, L"SHA256", messageModule) + L".crl";
}

const wchar_t* RevocationReasonText(int reason) {
  switch (reason) {
    case 0:
      return L"Не е посочена причина за отмяна.";
    case 1:
      return L"Известно е или се подозира, че частният ключ на субекта или \n"
             L"други аспекти на темата, валидирани в сертификата, са \n"
             L"компрометирани.";
    case 2:
      return L"Известно е или се подозира, че частният ключ на \n"
             L"сертифициращия орган (CA) или други аспекти на CA, валидирани \n"
             L"в сертификата, са компрометирани.\n";
    case 3:
      return L"Името на субекта или друга информация в сертификата е \n"
             L"променена, но няма причина да се подозира, че частният ключ е \n"
             L"компрометиран.";
    case 4:
      return L"Сертификатът е заменен, но няма причина да се подозира, че \n"
             L"частният ключ е компрометиран.";
    case 5:
      return L"Сертификатът вече не е необходим за целта, за която е \n"
             L"издаден, но няма причина да се подозира, че частният ключ е \n"
             L"компрометиран.";
    case 6:
      return L"Сертификатът е спрян.";
    default:
      return L"Не известна причина за спиране.";
  }
}

std::wstring FormatLocalDate(const FILETIME& fileTime) {
  FILETIME local = {};
  SYSTEMTIME calendar = {};
  wchar_t text[255] = {};
  if (FileTimeToLocalFileTime(&fileTime, &local) && FileTimeToSystemTime(&local, &calendar)) {
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &calendar, nullptr, text, 255);
  }
  text[254] = L'\0';
  return text;
}

VerificationResult CheckRevocation(PCCERT_CONTEXT certificate, RevocationCheckOptions options) {
  if (options.hashFunction == nullptr || certificate == nullptr) return NotChecked();
  CryptCertificate subject(certificate);

  std::vector<std::wstring> urls;
  if (!options.crlUrl.empty()) {
    urls.push_back(options.crlUrl);
  } else {
    urls = subject.CrlDistributionPoints();
  }
  if (urls.empty()) return NotChecked();

  if (!PathExists(options.cacheFolder) || !IsDirectoryPath(options.cacheFolder)) {
    CreateDirectoryPath(options.cacheFolder);
  }

  // Describes CNG status codes in the naming step's message boxes.
  CommonLibrary messages(L"ntdll.dll");

  for (const std::wstring& url : urls) {
    if (!IsCandidateUrl(url)) continue;
    const std::filesystem::path path = rozazar::joinPath(
        options.downloadFolder, CrlFileName(url, options.hashFunction, messages.Module()));
    if (PathExists(path)) RemovePath(path);
    if (!DownloadToFile(url, path.wstring(), options.limits)) continue;

    CrlReference crl(LoadCrlFile(path.wstring()));
    if (!crl) continue;
    if (CertVerifyCRLTimeValidity(nullptr, crl.get()->pCrlInfo) != 0) continue;
    if (!IsAuthenticCrl(subject.Context(), crl.get())) continue;
    if (HasUnprocessableExtension(*crl.get()->pCrlInfo)) continue;

    PCRL_ENTRY entry = nullptr;
    if (!CertFindCertificateInCRL(subject.Context(), crl.get(), 0, nullptr, &entry)) {
      return {StatusMessage(0x80092012), kNoRevocationCheck};
    }
    if (entry == nullptr) return {kValid, 0};
    return RevokedResult(entry);
  }
  return NotChecked();
}

}  // namespace varnok
