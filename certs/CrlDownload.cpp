#include "certs/CrlDownload.h"

#include <curl/curl.h>

#include <cstdio>
#include <limits>
#include <new>
#include <stdexcept>

#include "foundation/object/UniqueHandle.h"

namespace varnok {
namespace {

void CloseCurl(CURL* curl) { curl_easy_cleanup(curl); }
using CurlEasy = rozazar::UniqueHandle<CURL*, &CloseCurl>;

// libcurl calls the write function through this exact type.
extern "C" std::size_t WriteBodyTrampoline(char* bytes, std::size_t size, std::size_t count,
                                           void* target) {
  return WriteBodyCallback(bytes, size, count, target);
}

void AppendPercentEncoded(std::string& out, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out.push_back('%');
  out.push_back(kDigits[byte >> 4]);
  out.push_back(kDigits[byte & 0x0F]);
}

}  // namespace

std::size_t WriteBodyCallback(char* bytes, std::size_t size, std::size_t count, void* target) {
  if (target == nullptr) return size * count;
  auto* buffer = static_cast<DownloadBuffer*>(target);
  if (count != 0 && size > std::numeric_limits<std::size_t>::max() / count) return 0;
  const std::size_t total = size * count;
  if (total > buffer->maxBytes || buffer->bytes.size() > buffer->maxBytes - total) return 0;
  try {
    buffer->bytes.insert(buffer->bytes.end(), bytes, bytes + total);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return total;
}

std::string UrlForTransfer(const std::wstring& url) {
  std::string out;
  out.reserve(url.size());
  for (std::size_t i = 0; i < url.size(); ++i) {
    const wchar_t c = url[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    // One character, a surrogate pair counted as one; an unpaired surrogate
    // becomes U+FFFD.
    int units = 1;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < url.size() && url[i + 1] >= 0xDC00 &&
        url[i + 1] <= 0xDFFF) {
      units = 2;
    }
    char utf8[8] = {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, url.data() + i, units, utf8, sizeof(utf8),
                                           nullptr, nullptr);
    for (int b = 0; b < length; ++b) AppendPercentEncoded(out, static_cast<unsigned char>(utf8[b]));
    i += units - 1;
  }
  return out;
}

bool DownloadToFile(const std::wstring& url, const std::wstring& path) {
  return DownloadToFile(url, path, DownloadLimits());
}

bool DownloadToFile(const std::wstring& url, const std::wstring& path,
                    const DownloadLimits& limits) {
  CurlEasy curl(curl_easy_init());
  if (!curl) throw std::runtime_error("Failed creating CURL easy object");
  DownloadBuffer buffer;
  buffer.maxBytes = limits.maxBodyBytes;
  const std::string transferUrl = UrlForTransfer(url);

  curl_easy_setopt(curl.get(), CURLOPT_URL, transferUrl.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &buffer);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &WriteBodyTrampoline);
  // A stalled server must not hold the console for ever.
  curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond);
  curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_TIME, limits.lowSpeedSeconds);
  // libcurl 7.88 follows redirects without end unless told, and waits 300 s
  // for a connection.
  curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, limits.maxRedirects);
  curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, limits.connectTimeoutSeconds);

  const CURLcode result = curl_easy_perform(curl.get());
  if (result != CURLE_OK) {
    std::fprintf(stderr, "curl_easy_perform() failed: %s\n", curl_easy_strerror(result));
    std::fflush(stderr);
    return false;
  }
  if (WriteFileBytes(path.c_str(), buffer.bytes)) return true;
  DeleteFileW(path.c_str());
  return false;
}

PCCRL_CONTEXT LoadCrlFile(const std::wstring& path) {
  ByteList bytes;
  if (!ReadFileBytes(path.c_str(), bytes)) return nullptr;
  if (bytes.size() > std::numeric_limits<DWORD>::max()) return nullptr;
  const DWORD length = static_cast<DWORD>(bytes.size());
  const char* text = reinterpret_cast<const char*>(bytes.data());

  DWORD decodedSize = 0;
  if (length != 0 && CryptStringToBinaryA(text, length, CRYPT_STRING_BASE64X509CRLHEADER, nullptr,
                                          &decodedSize, nullptr, nullptr)) {
    ByteList decoded(decodedSize);
    if (!CryptStringToBinaryA(text, length, CRYPT_STRING_BASE64X509CRLHEADER, decoded.data(),
                              &decodedSize, nullptr, nullptr)) {
      return nullptr;
    }
    return CertCreateCRLContext(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, decoded.data(),
                                decodedSize);
  }
  return CertCreateCRLContext(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, bytes.data(), length);
}

}  // namespace varnok
