#include "certs/CryptMessage.h"

namespace varnok {

namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

}  // namespace

CryptMessage::CryptMessage(Content content)
    : message_(CryptMsgOpenToDecode(kEncoding,
                                    content == Content::Detached ? CMSG_DETACHED_FLAG : 0, 0, 0,
                                    nullptr, nullptr)) {
  if (message_ == nullptr) lastError = GetLastError();
}

CryptMessage::~CryptMessage() {
  if (message_ != nullptr) CryptMsgClose(message_);
}

bool CryptMessage::Update(const ByteList& bytes) {
  if (message_ == nullptr) return false;
  // Empty content still needs a valid pointer.
  static const BYTE kNothing = 0;
  const BYTE* data = bytes.empty() ? &kNothing : bytes.data();
  if (!CryptMsgUpdate(message_, data, static_cast<DWORD>(bytes.size()), TRUE)) {
    lastError = GetLastError();
    return false;
  }
  return true;
}

bool CryptMessage::Param(DWORD type, DWORD index, ByteList& value) {
  value.clear();
  if (message_ == nullptr) return false;
  DWORD size = 0;
  if (!CryptMsgGetParam(message_, type, index, nullptr, &size)) {
    lastError = GetLastError();
    return false;
  }
  value.resize(size);
  if (size != 0 && !CryptMsgGetParam(message_, type, index, value.data(), &size)) {
    lastError = GetLastError();
    value.clear();
    return false;
  }
  value.resize(size);
  return true;
}

}  // namespace varnok
