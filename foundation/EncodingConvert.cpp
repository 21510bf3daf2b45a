#include "EncodingConvert.h"

#include <cstring>

#include "DataBuffer.h"
#include "LogBase.h"
#include "encoding/ByteSink.h"
#include "encoding/Transcoder.h"

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

  reserveForOutput(fromCodePage, toCodePage, n, out);
  encoding::ByteSink sink(&appendToDataBuffer, &out);
  bool lossy = false;
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
