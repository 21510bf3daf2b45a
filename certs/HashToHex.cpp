#include "certs/HashToHex.h"

#include <bcrypt.h>

#include <vector>

#include "certs/CryptoHandles.h"
#include "certs/FormatErrorText.h"

namespace varnok {
namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

void ShowStatus(NTSTATUS status, HMODULE messageModule) {
  const std::wstring text = FormatErrorText(static_cast<std::uint32_t>(status), messageModule);
  MessageBoxW(nullptr, text.c_str(), L"", MB_OK);
}

NTSTATUS ReadLength(BCRYPT_ALG_HANDLE provider, const wchar_t* property, DWORD& value) {
  ULONG written = 0;
  return BCryptGetProperty(provider, property, reinterpret_cast<PUCHAR>(&value), sizeof(value),
                           &written, 0);
}

std::wstring UpperHex(const std::vector<UCHAR>& bytes) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text;
  text.reserve(bytes.size() * 2);
  for (UCHAR byte : bytes) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}

// The digest, or the failing status. Declaration order gives the release
// order on every path: digest buffer, hash object, object buffer, provider.
NTSTATUS Digest(const void* data, ULONG byteCount, const wchar_t* algorithmName,
                std::wstring& hex) {
  AlgorithmProvider provider;
  NTSTATUS status = BCryptOpenAlgorithmProvider(provider.receive(), algorithmName, nullptr, 0);
  if (!Succeeded(status)) return status;

  DWORD objectLength = 0;
  status = ReadLength(provider.get(), BCRYPT_OBJECT_LENGTH, objectLength);
  if (!Succeeded(status)) return status;
  std::vector<UCHAR> objectBuffer(objectLength);

  DWORD digestLength = 0;
  status = ReadLength(provider.get(), BCRYPT_HASH_LENGTH, digestLength);
  if (!Succeeded(status)) return status;

  HashObject hash;
  status = BCryptCreateHash(provider.get(), hash.receive(),
                            objectBuffer.empty() ? nullptr : objectBuffer.data(),
                            static_cast<ULONG>(objectBuffer.size()), nullptr, 0, 0);
  if (!Succeeded(status)) return status;

  status = BCryptHashData(hash.get(), static_cast<PUCHAR>(const_cast<void*>(data)), byteCount, 0);
  if (!Succeeded(status)) return status;

  std::vector<UCHAR> digest(digestLength, 0);
  status = BCryptFinishHash(hash.get(), digest.data(), digestLength, 0);
  if (!Succeeded(status)) return status;

  hex = UpperHex(digest);
  return status;
}

}  // namespace

std::wstring HashToHex(const void* data, std::int32_t byteCount, const wchar_t* algorithmName,
                       HMODULE messageModule) {
  // A negative count describes no bytes either.
  if (byteCount <= 0) return std::wstring();
  std::wstring hex;
  const NTSTATUS status = Digest(data, static_cast<ULONG>(byteCount), algorithmName, hex);
  if (!Succeeded(status)) ShowStatus(status, messageModule);
  return hex;
}

}  // namespace varnok
