#pragma once
// A cryptographic message opened for decoding (PKCS #7 / CMS), fed whole
// blobs and asked for its parameters.

#include <windows.h>

#include <wincrypt.h>

#include "certs/CommonClass.h"
#include "certs/FileSystem.h"

namespace varnok {

class CryptMessage : public CommonClass {
 public:
  enum class Content { Inside, Detached };

  // Opens the message for decoding, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
  // any message type. A detached message takes the encoded message first
  // and the content it covers afterwards.
  explicit CryptMessage(Content content);
  ~CryptMessage() override;

  bool IsOpen() const { return message_ != nullptr; }

  // Hands `bytes` to the message as its final piece: the encoded message,
  // then (detached) the content. False with lastError set when the system
  // refuses them.
  bool Update(const ByteList& bytes);

  // The parameter `type` of `index` (CMSG_..._PARAM) into `value`. False
  // with lastError set when the message has no such parameter.
  bool Param(DWORD type, DWORD index, ByteList& value);

 private:
  HCRYPTMSG message_ = nullptr;
};

}  // namespace varnok
