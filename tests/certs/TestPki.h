#pragma once
// The test PKI that testing/pki/make-test-pki.sh generates before the tests
// run, and helpers to use it: certificate contexts, CRL bytes, memory
// stores, installing into and removing from the user's system stores, and
// telling Wine from Windows.
//
// The folder comes from the environment variable TESSEL_TEST_PKI_DIR, or else
// from the compile definition of the same name.

#include <windows.h>

#include <wincrypt.h>
#include <wininet.h>

#include <io.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "certs/CryptoHandles.h"
#include "testing/pki/LoopbackHttpServer.h"

namespace test_pki {

inline std::filesystem::path Folder() {
  wchar_t value[MAX_PATH + 1] = {};
  if (GetEnvironmentVariableW(L"TESSEL_TEST_PKI_DIR", value, MAX_PATH) > 0) return value;
#ifdef TESSEL_TEST_PKI_DIR
  return std::filesystem::u8path(TESSEL_TEST_PKI_DIR);
#else
  return {};
#endif
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::string FileBytes(const std::string& name) { return ReadText(Folder() / name); }

// The loopback port in the certificates' distribution points.
inline unsigned short Port() {
  return static_cast<unsigned short>(std::stoi(FileBytes("port.txt")));
}

// The loopback port in the distribution points where nothing answers.
inline unsigned short SilentPort() {
  return static_cast<unsigned short>(std::stoi(FileBytes("silent-port.txt")));
}

// The DER bytes of the PEM certificate `name` (without ".pem").
inline std::vector<BYTE> CertificateDer(const std::string& name) {
  const std::string pem = FileBytes(name + ".pem");
  DWORD size = 0;
  CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                       nullptr, &size, nullptr, nullptr);
  std::vector<BYTE> der(size);
  CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                       der.data(), &size, nullptr, nullptr);
  der.resize(size);
  return der;
}

// A context of the certificate `name`, in a store of its own.
inline varnok::CertificateReference Certificate(const std::string& name) {
  const std::vector<BYTE> der = CertificateDer(name);
  return varnok::CertificateReference(CertCreateCertificateContext(
      X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size())));
}

// The revocation time of every revoked leaf, as a UTC file time.
inline FILETIME RevocationTime() {
  SYSTEMTIME time = {};
  std::sscanf(FileBytes("revocation-date.txt").c_str(), "%hu-%hu-%hu %hu:%hu:%hu", &time.wYear,
              &time.wMonth, &time.wDay, &time.wHour, &time.wMinute, &time.wSecond);
  FILETIME fileTime = {};
  SystemTimeToFileTime(&time, &fileTime);
  return fileTime;
}

// `utc` as a date in the user's short date format, worked out without the
// functions the console formats its dates with: the time zone's rules
// through SystemTimeToTzSpecificLocalTime, and the locale's short-date
// picture expanded here (d, dd, M, MM, y, yy, yyyy and quoted text; any
// other letter stands as it is, so that an unexpected picture shows).
inline std::wstring ShortLocalDate(const FILETIME& utc) {
  SYSTEMTIME universal = {};
  SYSTEMTIME local = {};
  FileTimeToSystemTime(&utc, &universal);
  SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local);
  wchar_t picture[80] = {};
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, picture, 80);
  const auto number = [](int value, size_t digits) {
    std::wstring text = std::to_wstring(value);
    return std::wstring(text.size() < digits ? digits - text.size() : 0, L'0') + text;
  };
  std::wstring date;
  for (const wchar_t* at = picture; *at != L'\0';) {
    if (*at == L'\'') {
      for (++at; *at != L'\0' && *at != L'\''; ++at) date += *at;
      if (*at != L'\0') ++at;
      continue;
    }
    size_t run = 1;
    while (at[run] == *at) ++run;
    if (*at == L'd' && run <= 2) {
      date += number(local.wDay, run);
    } else if (*at == L'M' && run <= 2) {
      date += number(local.wMonth, run);
    } else if (*at == L'y' && run <= 2) {
      date += number(local.wYear % 100, run);
    } else if (*at == L'y' && run == 4) {
      date += number(local.wYear, 4);
    } else {
      date.append(at, run);
    }
    at += run;
  }
  return date;
}

// A memory store; certificates added to it keep their order.
class MemoryStore {
 public:
  MemoryStore()
      : store_(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr)) {}
  ~MemoryStore() {
    if (store_ != nullptr) CertCloseStore(store_, CERT_CLOSE_STORE_FORCE_FLAG);
  }
  MemoryStore(const MemoryStore&) = delete;
  MemoryStore& operator=(const MemoryStore&) = delete;

  HCERTSTORE Get() const { return store_; }

  // Adds `name` and returns the store's context of it (owned by the caller).
  varnok::CertificateReference Add(const std::string& name) {
    const std::vector<BYTE> der = CertificateDer(name);
    PCCERT_CONTEXT added = nullptr;
    CertAddEncodedCertificateToStore(store_, X509_ASN_ENCODING, der.data(),
                                     static_cast<DWORD>(der.size()), CERT_STORE_ADD_ALWAYS, &added);
    return varnok::CertificateReference(added);
  }

  // Closes the store, checking that no context of it is still referenced.
  bool CloseChecked() {
    const BOOL closed = CertCloseStore(store_, CERT_CLOSE_STORE_CHECK_FLAG);
    const bool clean = closed && GetLastError() != static_cast<DWORD>(CRYPT_E_PENDING_CLOSE);
    store_ = nullptr;
    return clean;
  }

 private:
  HCERTSTORE store_;
};

// The user folder the "CRL Test" command downloads under. Make() creates it
// where it is missing, and the object removes what it created when it ends.
class CrlTestUserFolder {
 public:
  static std::filesystem::path Path() { return L"c:\\Users\\qelmar"; }

  CrlTestUserFolder() = default;
  CrlTestUserFolder(const CrlTestUserFolder&) = delete;
  CrlTestUserFolder& operator=(const CrlTestUserFolder&) = delete;
  ~CrlTestUserFolder() {
    std::error_code ignored;
    if (created_) std::filesystem::remove_all(Path(), ignored);
  }

  // Empty when the folder is there; otherwise why it could not be made.
  std::string Make() {
    if (std::filesystem::is_directory(Path())) return std::string();
    std::error_code error;
    created_ = std::filesystem::create_directories(Path(), error);
    if (!error) return std::string();
    return "cannot create " + Path().string() + ": " + error.message();
  }

 private:
  bool created_ = false;
};

// Installs certificates into the current user's system stores and removes
// exactly those again when the object ends (collected first, then deleted,
// then committed, so that other processes stop seeing them).
class InstalledCertificates {
 public:
  InstalledCertificates() = default;
  ~InstalledCertificates() {
    for (const Entry& entry : entries_) Remove(entry);
  }
  InstalledCertificates(const InstalledCertificates&) = delete;
  InstalledCertificates& operator=(const InstalledCertificates&) = delete;

  bool Install(const wchar_t* storeName, const std::string& name) {
    HCERTSTORE store = CertOpenSystemStoreW(0, storeName);
    if (store == nullptr) return false;
    const std::vector<BYTE> der = CertificateDer(name);
    // Replacing also takes over a copy that an interrupted run left behind.
    const BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(),
                                                        static_cast<DWORD>(der.size()),
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    CertControlStore(store, 0, CERT_STORE_CTRL_COMMIT, nullptr);
    CertCloseStore(store, 0);
    if (added) entries_.push_back({storeName, der});
    return added != FALSE;
  }

 private:
  struct Entry {
    std::wstring store;
    std::vector<BYTE> der;
  };

  static void Remove(const Entry& entry) {
    HCERTSTORE store = CertOpenSystemStoreW(0, entry.store.c_str());
    if (store == nullptr) return;
    std::vector<PCCERT_CONTEXT> found;
    PCCERT_CONTEXT context = nullptr;
    while ((context = CertEnumCertificatesInStore(store, context)) != nullptr) {
      if (context->cbCertEncoded == entry.der.size() &&
          std::equal(entry.der.begin(), entry.der.end(), context->pbCertEncoded)) {
        found.push_back(CertDuplicateCertificateContext(context));
      }
    }
    for (PCCERT_CONTEXT doomed : found) CertDeleteCertificateFromStore(doomed);
    CertControlStore(store, 0, CERT_STORE_CTRL_COMMIT, nullptr);
    CertCloseStore(store, 0);
  }

  std::vector<Entry> entries_;
};

// Wine's chain engine keeps CRL verdicts on disk keyed by serial number
// alone (CryptnetUrlCache), and its URL retrieval answers from the URL cache
// without asking the server again: forget both before a chain test. The
// URL cache entries go through wininet's own call; removing the cache's
// folder under a running Wine makes later retrievals hang.
inline void ClearUrlCache() {
  wchar_t profile[MAX_PATH + 1] = {};
  if (GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH) != 0) {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(profile) / L"AppData" / L"LocalLow" /
                                    L"Microsoft" / L"CryptnetUrlCache",
                                ignored);
  }
  const std::wstring base = L"http://127.0.0.1:" + std::to_wstring(Port());
  for (const wchar_t* path : {L"/inter.crl", L"/root.crl"}) {
    DeleteUrlCacheEntryW((base + path).c_str());
  }
}

// Serves the test CRLs at the addresses the test certificates name and
// empties the URL cache, so that each test fetches them afresh. False when
// the server could not take its port.
inline bool ServeCrls(LoopbackHttpServer& server) {
  if (!server.Running()) return false;
  server.Serve("/inter.crl", FileBytes("inter.crl"));
  server.Serve("/root.crl", FileBytes("root.crl"));
  ClearUrlCache();
  return true;
}

// Collects what is written to the standard error stream (file descriptor 2)
// while the object lives.
class StderrCapture {
 public:
  StderrCapture() {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    path_ = std::filesystem::path(base) /
            (L"tessel-stderr-" + std::to_wstring(GetCurrentProcessId()) + L".txt");
    std::fflush(stderr);
    saved_ = _dup(2);
    file_ = _wfopen(path_.c_str(), L"wb");
    _dup2(_fileno(file_), 2);
  }
  ~StderrCapture() {
    Stop();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  // Stops capturing and returns everything written.
  std::string Text() {
    Stop();
    return ReadText(path_);
  }

 private:
  void Stop() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    _dup2(saved_, 2);
    _close(saved_);
    saved_ = -1;
    std::fclose(file_);
  }

  std::filesystem::path path_;
  int saved_ = -1;
  FILE* file_ = nullptr;
};

}  // namespace test_pki
