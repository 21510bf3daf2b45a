#include "certs/MessageSignature.h"

#include <windows.h>

#include <wincrypt.h>

#include <cstring>

#include "certs/CryptMessage.h"
#include "certs/EncapsulatedContent.h"

namespace varnok {

namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;
constexpr DWORD kFirstSigner = 0;

// No provider, no signer-certificate callback: the system takes the
// signer's certificate from the message.
CRYPT_VERIFY_MESSAGE_PARA VerifyParameters() {
  CRYPT_VERIFY_MESSAGE_PARA parameters = {};
  parameters.cbSize = sizeof parameters;
  parameters.dwMsgAndCertEncodingType = kEncoding;
  return parameters;
}
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(CRYPT_VERIFY_MESSAGE_PARA) == 20, "the record without its extra fields");
#endif

const BYTE* DataOf(const ByteList& bytes) {
  static const BYTE kNothing = 0;
  return bytes.empty() ? &kNothing : bytes.data();
}

// The value of the signer's signed messageDigest attribute, decoded from its
// octet string. False when the attribute is missing or malformed.
bool SignedDigest(const CRYPT_ATTRIBUTES& attributes, ByteList& digest) {
  for (DWORD i = 0; i < attributes.cAttr; ++i) {
    const CRYPT_ATTRIBUTE& attribute = attributes.rgAttr[i];
    if (attribute.pszObjId == nullptr ||
        std::strcmp(attribute.pszObjId, szOID_RSA_messageDigest) != 0) {
      continue;
    }
    if (attribute.cValue != 1) return false;
    const CRYPT_ATTR_BLOB& value = attribute.rgValue[0];
    DWORD size = 0;
    if (!CryptDecodeObject(kEncoding, X509_OCTET_STRING, value.pbData, value.cbData, 0, nullptr,
                           &size)) {
      return false;
    }
    ByteList decoded(size);
    if (!CryptDecodeObject(kEncoding, X509_OCTET_STRING, value.pbData, value.cbData, 0,
                           decoded.data(), &size)) {
      return false;
    }
    const auto* blob = reinterpret_cast<const CRYPT_DATA_BLOB*>(decoded.data());
    digest.assign(blob->pbData, blob->pbData + blob->cbData);
    return true;
  }
  return false;
}

// After the system has accepted the signature: true when the first signer
// signed no attributes (the signature then covers the content directly, and
// the system has compared it), or when its signed messageDigest equals the
// digest the system computed over the content. Some implementations of the
// message functions (Wine's among them) accept a signature with signed
// attributes without comparing that attribute with the content; this check
// makes sure the content is the one that was signed.
bool SignedDigestMatchesContent(CryptMessage& message) {
  ByteList attributes;
  if (!message.Param(CMSG_SIGNER_AUTH_ATTR_PARAM, kFirstSigner, attributes)) {
    return message.lastError == static_cast<std::uint32_t>(CRYPT_E_ATTRIBUTES_MISSING);
  }
  if (attributes.empty()) return true;
  const auto* list = reinterpret_cast<const CRYPT_ATTRIBUTES*>(attributes.data());
  if (list->cAttr == 0) return true;

  ByteList signedDigest;
  if (!SignedDigest(*list, signedDigest)) return false;
  ByteList computed;
  if (!message.Param(CMSG_COMPUTED_HASH_PARAM, kFirstSigner, computed)) return false;
  return !computed.empty() && computed == signedDigest;
}

// True when `message` decodes as a signed message.
bool IsSignedMessage(CryptMessage& message) {
  ByteList type;
  if (!message.Param(CMSG_TYPE_PARAM, 0, type) || type.size() != sizeof(DWORD)) return false;
  DWORD typeValue = 0;
  std::memcpy(&typeValue, type.data(), sizeof typeValue);
  return typeValue == CMSG_SIGNED;
}

}  // namespace

SignatureForm SignatureFormOf(const ByteList& message) {
  CryptMessage decoded(CryptMessage::Content::Inside);
  if (!decoded.Update(message)) {
    // Some systems decode a message without content only when told that it
    // is detached.
    CryptMessage detached(CryptMessage::Content::Detached);
    return detached.Update(message) && IsSignedMessage(detached) ? SignatureForm::Detached
                                                                 : SignatureForm::NotSigned;
  }
  if (!IsSignedMessage(decoded)) return SignatureForm::NotSigned;
  // A detached message has no content of its own: the system reports none,
  // or refuses the parameter. So does an enveloping message over empty
  // content, which differs only in holding its (empty) content element.
  ByteList content;
  if (decoded.Param(CMSG_CONTENT_PARAM, 0, content) && !content.empty()) {
    return SignatureForm::Enveloping;
  }
  return CarriesEncapsulatedContent(message.data(), message.size()) ? SignatureForm::Enveloping
                                                                    : SignatureForm::Detached;
}

bool VerifyDetachedSignature(const ByteList& signature, const ByteList& content) {
  CRYPT_VERIFY_MESSAGE_PARA parameters = VerifyParameters();
  const BYTE* contentItems[1] = {DataOf(content)};
  DWORD contentSizes[1] = {static_cast<DWORD>(content.size())};
  if (!CryptVerifyDetachedMessageSignature(&parameters, kFirstSigner, DataOf(signature),
                                           static_cast<DWORD>(signature.size()), 1, contentItems,
                                           contentSizes, nullptr)) {
    return false;
  }
  CryptMessage message(CryptMessage::Content::Detached);
  return message.Update(signature) && message.Update(content) &&
         SignedDigestMatchesContent(message);
}

bool VerifyEnvelopingSignature(const ByteList& message) {
  CRYPT_VERIFY_MESSAGE_PARA parameters = VerifyParameters();
  if (!CryptVerifyMessageSignature(&parameters, kFirstSigner, DataOf(message),
                                   static_cast<DWORD>(message.size()), nullptr, nullptr, nullptr)) {
    return false;
  }
  CryptMessage decoded(CryptMessage::Content::Inside);
  return decoded.Update(message) && SignedDigestMatchesContent(decoded);
}

}  // namespace varnok
