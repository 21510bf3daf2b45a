#pragma once
// Whether a certificate is on a current CRL of its issuer, fetched from one
// of its HTTP distribution points (or from a URL given instead).

#include <windows.h>

#include <wincrypt.h>

#include <string>

#include "certs/CrlDownload.h"
#include "certs/HashToHex.h"
#include "certs/VerificationResult.h"

namespace varnok {

struct RevocationCheckOptions {
  // Created as a directory before anything is downloaded when it is missing.
  std::wstring cacheFolder;
  // Where each downloaded CRL is written, named by the SHA-256 of its URL.
  std::wstring downloadFolder;
  // Names the downloads; the check ends at once without it.
  HashFunction hashFunction = nullptr;
  // Used instead of the certificate's distribution points when not empty.
  std::wstring crlUrl;
  // Bounds of each download.
  DownloadLimits limits;
};

// Code 0 "Сертификатът е валиден." when the certificate is not on a current
// CRL of its issuer; 0x80092010 with the revocation date and reason when it
// is; 0x80092012 when no URL gave a usable CRL. A CRL counts only when it is
// within its validity period, names the certificate's issuer, is signed by
// the issuer's key and carries no critical extension, of its own or of an
// entry, that this check does not know (RFC 5280, 5.2 and 5.3): such a CRL
// may narrow or redefine what its entries mean. Throws std::filesystem::filesystem_error for a
// failed folder or file operation and std::runtime_error when libcurl gives no transfer handle. The
// caller keeps its reference to `certificate`.
VerificationResult CheckRevocation(PCCERT_CONTEXT certificate, RevocationCheckOptions options);

// The CRL file name of `url`: HashToHex("SHA256") of its UTF-16 bytes and
// ".crl".
std::wstring CrlFileName(const std::wstring& url, HashFunction hashFunction, HMODULE messageModule);

// The reason text of a CRL entry's reason code (RFC 5280 CRLReason).
const wchar_t* RevocationReasonText(int reason);

// `fileTime` (UTC) as a date in the user's short date format; empty when it
// cannot be formatted.
std::wstring FormatLocalDate(const FILETIME& fileTime);

}  // namespace varnok
