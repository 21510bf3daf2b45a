#pragma once
// Owners of the CryptoAPI, CNG and NCrypt handles the certificate services
// hold: each closes its handle with the matching release call when it ends.

#include <windows.h>

#include <bcrypt.h>
#include <ncrypt.h>
#include <wincrypt.h>

#include "foundation/object/UniqueHandle.h"

namespace varnok {
namespace close_handle {

// The release calls in the one-argument form the owner calls.
inline void Certificate(PCCERT_CONTEXT context) { CertFreeCertificateContext(context); }
inline void Crl(PCCRL_CONTEXT context) { CertFreeCRLContext(context); }
inline void Store(HCERTSTORE store) { CertCloseStore(store, 0); }
inline void Chain(PCCERT_CHAIN_CONTEXT chain) { CertFreeCertificateChain(chain); }
inline void Algorithm(BCRYPT_ALG_HANDLE provider) { BCryptCloseAlgorithmProvider(provider, 0); }
inline void Hash(BCRYPT_HASH_HANDLE hash) { BCryptDestroyHash(hash); }
inline void NCryptBuffer(NCryptProviderName* buffer) { NCryptFreeBuffer(buffer); }

}  // namespace close_handle

// One reference to a certificate context.
using CertificateReference = rozazar::UniqueHandle<PCCERT_CONTEXT, &close_handle::Certificate>;
// One reference to a CRL context.
using CrlReference = rozazar::UniqueHandle<PCCRL_CONTEXT, &close_handle::Crl>;
// An open certificate store.
using StoreHandle = rozazar::UniqueHandle<HCERTSTORE, &close_handle::Store>;
// A built certificate chain.
using ChainHandle = rozazar::UniqueHandle<PCCERT_CHAIN_CONTEXT, &close_handle::Chain>;
// An open CNG algorithm provider.
using AlgorithmProvider = rozazar::UniqueHandle<BCRYPT_ALG_HANDLE, &close_handle::Algorithm>;
// A CNG hash object.
using HashObject = rozazar::UniqueHandle<BCRYPT_HASH_HANDLE, &close_handle::Hash>;
// The list of key storage providers that NCrypt allocated.
using ProviderNames = rozazar::UniqueHandle<NCryptProviderName*, &close_handle::NCryptBuffer>;

}  // namespace varnok
