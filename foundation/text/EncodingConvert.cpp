#include "foundation/text/EncodingConvert.h"

#include <cstring>

#include "foundation/containers/DataBuffer.h"
#include "foundation/encoding/ByteSink.h"
#include "foundation/encoding/Transcoder.h"
#include "foundation/encoding/Utf16Fast.h"
#include "foundation/object/LogBase.h"

namespace rozazar {

namespace {

bool appendToDataBuffer(void* context, const unsigned char* data, std::size_t n) {
  return static_cast<DataBuffer*>(context)->appendBytes(data, n);
}

// Bytes per code unit, for a first guess of the output size.
std::size_t unitBytes(int codePage) noexcept {
  switch (codePage) {
    case 1200:
    case 1201:
      return 2;
    case 12000:
    case 12001:
    case 65005:
    case 65006:
      return 4;
    default:
      return 1;
  }
}

// Reserves room for the likely output at once, so that a large conversion
// does not grow the buffer step by step. Small ones use the buffer's growth.
void reserveForOutput(int from, int to, std::size_t n, DataBuffer& out) noexcept {
  const std::size_t estimate = n / unitBytes(from) * unitBytes(to);
  if (estimate < 65536) return;
  const std::size_t wanted = static_cast<std::size_t>(out.size()) + estimate;
  if (wanted > out.capacity() && wanted < 0xFFFFFFFFu) out.reserve(wanted);
}

bool isCodePageNumber(int codePage) noexcept { return codePage == 37 || codePage >= 100; }

// UTF-8 <-> UTF-16LE straight into the output's own memory. False when the
// pair is another one or the output cannot be written in place; the general
// route then does the work.
bool convertInPlace(int from, int to, const unsigned char* data, std::size_t n, DataBuffer& out,
                    bool& lossy) noexcept {
  const bool toWide = from == 65001 && to == 1200;
  const bool fromWide = from == 1200 && to == 65001;
  if (!toWide && !fromWide) return false;
  const std::size_t need = toWide ? 2 * n : encoding::utf16LeToUtf8Size(data, n);
  // Room for a terminator too, which the callers that keep text add.
  const std::uint64_t wanted = std::uint64_t{out.size()} + need + 2;
  if (wanted >= 0xFFFFFFFFu || !out.reserve(static_cast<std::size_t>(wanted))) return false;
  unsigned char* at = out.mutableData();
  if (at == nullptr) return false;
  at += out.size();
  const std::size_t written = toWide ? encoding::utf8ToUtf16Le(data, n, at, lossy)
                                     : encoding::utf16LeToUtf8(data, n, at, lossy);
  out.setSize(out.size() + written);
  return true;
}

}  // namespace

bool EncodingConvert::EncConvert(int fromCodePage, int toCodePage, const unsigned char* data,
                                 std::size_t n, DataBuffer& out, LogBase& log) noexcept {
  if (n == 0 || data == nullptr) return true;
  // PDF files are never transcoded.
  if (n > 6 && std::memcmp(data, "%PDF-1", 6) == 0) return out.appendBytes(data, n);
  return convertText(fromCodePage, toCodePage, data, n, out, log);
}

bool EncodingConvert::convertText(int fromCodePage, int toCodePage, const unsigned char* data,
                                  std::size_t n, DataBuffer& out, LogBase& log) noexcept {
  if (n == 0 || data == nullptr) return true;
  const bool verbose = log.isVerbose();
  LogContextExitor context(log, "EncConvert", verbose);
  if (verbose) {
    log.logDataInt("fromCodePage", fromCodePage);
    log.logDataInt("toCodePage", toCodePage);
  }
  if (toCodePage == 0) toCodePage = fromCodePage;
  if (fromCodePage == 0 || fromCodePage == toCodePage) return out.appendBytes(data, n);
  if (!isCodePageNumber(fromCodePage) || !isCodePageNumber(toCodePage)) return false;
  if (!encoding::isSupportedCodePage(fromCodePage) || !encoding::isSupportedCodePage(toCodePage)) {
    log.logError("No conversion between these code pages.");
    log.logDataInt("fromCodePage", fromCodePage);
    log.logDataInt("toCodePage", toCodePage);
    return false;
  }

  bool lossy = false;
  if (convertInPlace(fromCodePage, toCodePage, data, n, out, lossy)) {
    if (lossy) m_lossy = true;
    return true;
  }
  reserveForOutput(fromCodePage, toCodePage, n, out);
  encoding::ByteSink sink(&appendToDataBuffer, &out);
  const bool ok = encoding::transcode(fromCodePage, toCodePage, data, n, sink, lossy);
  if (lossy) m_lossy = true;
  if (!ok && sink.failed()) log.logStoredError(StoredMessage::kOutOfMemory);
  return ok;
}

bool EncodingConvert::convertFromCharset(const char* charsetName, int toCodePage,
                                         const unsigned char* data, std::size_t n, DataBuffer& out,
                                         LogBase& log) noexcept {
  int fromCodePage = charsetToCodePage(charsetName);
  if (fromCodePage == 0) {
    log.logError("Unrecognized fromCharset");
    log.logData("charsetName", charsetName);
    fromCodePage = 65001;
  }
  return EncConvert(fromCodePage, toCodePage, data, n, out, log);
}

}  // namespace rozazar
