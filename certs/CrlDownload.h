#pragma once
// Downloading a CRL into a file over HTTP(S) and loading a CRL file.

#include <windows.h>

#include <wincrypt.h>

#include <cstddef>
#include <string>

#include "certs/FileSystem.h"

namespace varnok {

// No CRL comes near this size; a larger body fails the transfer.
inline constexpr std::size_t kMaxDownloadBytes = std::size_t{256} * 1024 * 1024;

// Bounds of one transfer: the largest body kept; the slowest speed (bytes
// per second, held for the given seconds) before the transfer fails; the
// redirects followed, each hop being fast enough to pass the speed check;
// and the wait for a server to take the connection.
struct DownloadLimits {
  std::size_t maxBodyBytes = kMaxDownloadBytes;
  long lowSpeedBytesPerSecond = 1;
  long lowSpeedSeconds = 60;
  long maxRedirects = 30;
  long connectTimeoutSeconds = 30;
};

// The body received so far and the bound it must stay within.
struct DownloadBuffer {
  ByteList bytes;
  std::size_t maxBytes = kMaxDownloadBytes;
};

// Fetches `url` (redirects followed) and writes the body to `path` (an HTTP
// error status is no failure: its body is written too). False, with the line
// "curl_easy_perform() failed: " and libcurl's text on the standard error
// stream, when the transfer fails; the file is then not touched. False also
// when the body cannot be written whole; what was written is then removed.
// Throws
// std::runtime_error("Failed creating CURL easy object") when libcurl gives
// no transfer handle.
bool DownloadToFile(const std::wstring& url, const std::wstring& path);
bool DownloadToFile(const std::wstring& url, const std::wstring& path,
                    const DownloadLimits& limits);

// libcurl's write callback: appends the received bytes to the DownloadBuffer
// `target`. Returns the byte count taken, or 0 (the transfer then fails) when
// the body would pass the buffer's bound or memory runs out; no exception
// reaches libcurl.
std::size_t WriteBodyCallback(char* bytes, std::size_t size, std::size_t count, void* target);

// `url` as libcurl takes it: ASCII characters as they are, every other
// character as its UTF-8 bytes, percent-encoded.
std::string UrlForTransfer(const std::wstring& url);

// The CRL in the file at `path`, PEM (between the CRL header and trailer
// lines) or DER. Null when the file cannot be read or holds no CRL. The
// caller releases the context with CertFreeCRLContext.
PCCRL_CONTEXT LoadCrlFile(const std::wstring& path);

}  // namespace varnok
