#pragma once
// The interface of Tessel.dll, the signing and encryption library the console
// exercises: its exports, their argument and result types, and the callbacks
// handed to it. Every export and every callback uses the C calling
// convention (the caller removes the arguments). Text is zero-terminated
// UTF-16. Every text and buffer the console passes belongs to the console and
// is valid only during the call; texts handed to a callback belong to the
// library and are valid only during the callback.

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The library's file name, loaded by that bare name.
inline constexpr wchar_t kTesselLibraryName[] = L"Tessel.dll";

// The value the console passes to every export that takes a callback and that
// the library hands back to the callback unchanged: the dialog's address,
// widened to 64 bits with sign extension. On x86 the callbacks find the
// dialog in its low 32 bits. On x64 an address does not fit in 32 bits, so
// the callbacks take the dialog from the whole 64-bit value.
using TesselUserValue = std::int64_t;

// Text callback: (userValue, text), returns non-zero from the console.
typedef int(__cdecl* TesselCallback)(TesselUserValue userValue, const wchar_t* text);

// One report of the certificate-store listing, passed to the report callback
// by value. The library defines the record; the console reads the fields
// below. On x86 the record is 24 bytes with its fields at offsets 0, 4, 8,
// 12 and 20: the 8 bytes at offset 12 are declared as two 32-bit words so
// that no 8-byte alignment moves the thumbprint away from offset 20. On x64
// the same fields take their natural places: 0, 8, 16, 24 and 32, 40 bytes.
struct TesselCertificateReport {
  std::uint8_t isError;       // non-zero: the record reports an error
  const wchar_t* errorText;   // error description
  const wchar_t* certName;    // certificate name
  std::uint32_t notRead[2];   // not read by the console
  const wchar_t* thumbprint;  // certificate thumbprint
};

namespace tessel_contract_detail {
struct ReportLayout {
  std::size_t isError, errorText, certName, notRead, thumbprint, size;
};
inline constexpr ReportLayout kReportLayout =
    sizeof(void*) == 4 ? ReportLayout{0, 4, 8, 12, 20, 24} : ReportLayout{0, 8, 16, 24, 32, 40};
}  // namespace tessel_contract_detail
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "x86 or x64");
static_assert(offsetof(TesselCertificateReport, isError) ==
              tessel_contract_detail::kReportLayout.isError);
static_assert(offsetof(TesselCertificateReport, errorText) ==
              tessel_contract_detail::kReportLayout.errorText);
static_assert(offsetof(TesselCertificateReport, certName) ==
              tessel_contract_detail::kReportLayout.certName);
static_assert(offsetof(TesselCertificateReport, notRead) ==
              tessel_contract_detail::kReportLayout.notRead);
static_assert(offsetof(TesselCertificateReport, thumbprint) ==
              tessel_contract_detail::kReportLayout.thumbprint);
static_assert(sizeof(TesselCertificateReport) == tessel_contract_detail::kReportLayout.size);

typedef int(__cdecl* TesselCertificateReportCallback)(TesselUserValue userValue,
                                                      TesselCertificateReport report);

// A one-byte boolean result: non-zero is true. Read as a byte, never as C++
// bool, so that any non-zero byte counts as true.
using TesselBool = std::uint8_t;

// The exports, in the order of the console's buttons.
typedef int(__cdecl* ATesselInitFn)(HWND owner);
typedef int(__cdecl* ATesselShowSettingsDialogFn)();
typedef int(__cdecl* ATesselShowAboutBoxFn)();
typedef int(__cdecl* ATesselSignFileJsonFn)(const wchar_t* json, TesselCallback callback,
                                            TesselUserValue userValue);
typedef int(__cdecl* ATesselSignInfoJsonFn)(const wchar_t* json, TesselCallback callback,
                                            TesselUserValue userValue);
typedef int(__cdecl* ATesselSelectCertificateJsonFn)(const wchar_t* json, TesselCallback callback,
                                                     TesselUserValue userValue);
typedef int(__cdecl* ATesselCertInfoJsonFn)(const wchar_t* json, TesselCallback callback,
                                            TesselUserValue userValue);
typedef TesselBool(__cdecl* ATesselIsP7SFn)(const wchar_t* path, TesselCallback callback,
                                            TesselUserValue userValue);
typedef TesselBool(__cdecl* ATesselP7M2P7SFn)(const wchar_t* sourcePath, const wchar_t* targetPath);
// output: room for 500 wide characters including the terminator; reserved 0.
typedef int(__cdecl* ATesselSignFileFilterFn)(const wchar_t* path, std::int32_t signMode,
                                              wchar_t* output, std::int32_t reserved);
// reserved: always 0 (null).
typedef int(__cdecl* ATesselDecryptVerifyFileFn)(const wchar_t* path, void* reserved);
typedef int(__cdecl* ATesselEncryptFileFn)(const wchar_t* path, void* reserved);
typedef int(__cdecl* ATesselSignAndEncryptFileFn)(const wchar_t* path, void* reserved);
// directory: in/out, holds the file's directory on entry, room for at least
// kExtractBufferChars wide characters plus the terminator. Non-zero result:
// success.
typedef std::int32_t(__cdecl* ATesselExtractFileFn)(const wchar_t* path, wchar_t* directory,
                                                    std::int32_t reserved1, std::int32_t reserved2);
typedef int(__cdecl* ATesselCertStoreInfoFn)(const wchar_t* providerName,
                                             TesselCertificateReportCallback callback,
                                             TesselUserValue userValue);
// Four output buffers without lengths: common name, thumbprint, start and end
// of validity.
typedef int(__cdecl* ATesselSelectCertificateFn)(wchar_t* commonName, wchar_t* thumbprint,
                                                 wchar_t* notBefore, wchar_t* notAfter);

// Buffer sizes the console uses, in wide characters.
inline constexpr std::size_t kSignFileFilterBufferChars = 500;  // terminator included
inline constexpr std::size_t kExtractBufferChars = 1000;        // plus the terminator
inline constexpr std::size_t kSelectCertificateChars = 301;     // plus the terminator
inline constexpr std::size_t kSelectCertificateOldChars = 500;  // plus the terminator

// Export names.
inline constexpr wchar_t kATesselInit[] = L"ATesselInit";
inline constexpr wchar_t kATesselShowSettingsDialog[] = L"ATesselShowSettingsDialog";
inline constexpr wchar_t kATesselShowAboutBox[] = L"ATesselShowAboutBox";
inline constexpr wchar_t kATesselSignFileJson[] = L"ATesselSignFileJson";
inline constexpr wchar_t kATesselSignInfoJson[] = L"ATesselSignInfoJson";
inline constexpr wchar_t kATesselSelectCertificateJson[] = L"ATesselSelectCertificateJson";
inline constexpr wchar_t kATesselCertInfoJson[] = L"ATesselCertInfoJson";
inline constexpr wchar_t kATesselIsP7S[] = L"ATesselIsP7S";
inline constexpr wchar_t kATesselP7M2P7S[] = L"ATesselP7M2P7S";
inline constexpr wchar_t kATesselSignFileFilter[] = L"ATesselSignFileFilter";
inline constexpr wchar_t kATesselDecryptVerifyFile[] = L"ATesselDecryptVerifyFile";
inline constexpr wchar_t kATesselEncryptFile[] = L"ATesselEncryptFile";
inline constexpr wchar_t kATesselSignAndEncryptFile[] = L"ATesselSignAndEncryptFile";
inline constexpr wchar_t kATesselExtractFile[] = L"ATesselExtractFile";
inline constexpr wchar_t kATesselCertStoreInfo[] = L"ATesselCertStoreInfo";
inline constexpr wchar_t kATesselSelectCertificate[] = L"ATesselSelectCertificate";
