#pragma once
// Verification of signed messages (PKCS #7 / CMS) with the system's message
// functions: the signature of the first signer, with the signer's
// certificate taken from the message itself. The signer's certificate is
// not checked for trust.

#include "certs/FileSystem.h"

namespace varnok {

enum class SignatureForm {
  Detached,    // the message carries no content: it signs a separate file
  Enveloping,  // the signed content is inside the message
  NotSigned,   // not a signed message the system can decode
};

SignatureForm SignatureFormOf(const ByteList& message);

// True when `signature` is a good signature of `content`.
bool VerifyDetachedSignature(const ByteList& signature, const ByteList& content);

// True when `message` is a good signature of the content inside it.
bool VerifyEnvelopingSignature(const ByteList& message);

}  // namespace varnok
