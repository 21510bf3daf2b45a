// CheckRevocation end to end (download over loopback, load, time check,
// signature check, lookup) on large CRLs of the test PKI's intermediate, the
// certificate listed last or not listed. Windows build, run under Wine by
// bench/run-revocation-bench.sh, which also times openssl on the same files.
//
// TESSEL_BENCH_CRL_DIR: the folder of make-bench-crls.sh's output;
// TESSEL_TEST_PKI_DIR: the test PKI (valid.pem, inter.pem).

#include <benchmark/benchmark.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <wincrypt.h>

#include "certs/CryptoHandles.h"
#include "certs/HashToHex.h"
#include "certs/RevocationCheck.h"
#include "testing/pki/LoopbackHttpServer.h"

namespace {

std::filesystem::path FolderFrom(const wchar_t* variable) {
  wchar_t value[MAX_PATH + 1] = {};
  GetEnvironmentVariableW(variable, value, MAX_PATH);
  return value;
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<BYTE> PemToDer(const std::string& pem) {
  DWORD size = 0;
  CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                       nullptr, &size, nullptr, nullptr);
  std::vector<BYTE> der(size);
  CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                       der.data(), &size, nullptr, nullptr);
  der.resize(size);
  return der;
}

void BM_CheckRevocation(benchmark::State& state) {
  const long count = static_cast<long>(state.range(0));
  const bool listed = state.range(1) != 0;
  const std::string name =
      "crl-" + std::to_string(count) + (listed ? "-listed" : "-unlisted") + ".crl";
  const std::string body = ReadText(FolderFrom(L"TESSEL_BENCH_CRL_DIR") / name);
  if (body.empty()) {
    state.SkipWithError("CRL file missing");
    return;
  }
  const std::filesystem::path pki = FolderFrom(L"TESSEL_TEST_PKI_DIR");

  // The certificate and its issuer in one memory store.
  HCERTSTORE store =
      CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr);
  PCCERT_CONTEXT added = nullptr;
  for (const char* file : {"inter.pem", "valid.pem"}) {
    const std::vector<BYTE> der = PemToDer(ReadText(pki / file));
    if (added != nullptr) CertFreeCertificateContext(added);
    CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(),
                                     static_cast<DWORD>(der.size()), CERT_STORE_ADD_ALWAYS, &added);
  }
  varnok::CertificateReference certificate(added);

  LoopbackHttpServer server;
  server.Serve("/bench.crl", body);
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("tessel-bench-" + std::to_string(count));
  std::filesystem::create_directories(folder);
  varnok::RevocationCheckOptions options;
  options.cacheFolder = folder.wstring();
  options.downloadFolder = folder.wstring();
  options.hashFunction = &varnok::HashToHex;
  options.crlUrl = server.WideUrl("/bench.crl");

  const std::int32_t expected = listed ? static_cast<std::int32_t>(0x80092010) : 0;
  for (auto _ : state) {
    const varnok::VerificationResult result = varnok::CheckRevocation(certificate.get(), options);
    if (result.code != expected) {
      state.SkipWithError("unexpected verdict");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(body.size()));
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  // The certificate reference keeps the store alive until it goes.
  CertCloseStore(store, 0);
}

}  // namespace

BENCHMARK(BM_CheckRevocation)
    ->ArgsProduct({{1000, 100000, 1000000}, {1, 0}})
    ->ArgNames({"entries", "listed"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
