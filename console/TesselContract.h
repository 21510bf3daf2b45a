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
// widened to 64 bits with sign extension. Callbacks use its low 32 bits.
using TesselUserValue = std::int64_t;

// Text callback: (userValue, text), returns non-zero from the console.
typedef int(__cdecl* TesselCallback)(TesselUserValue userValue, const wchar_t* text);

// One report of the certificate-store listing, passed to the report callback
// by value. The library defines the record; the console reads the fields
// below. The 8 bytes at offset 12 are declared as two 32-bit words so that no
// 8-byte alignment moves the thumbprint away from offset 20.
struct TesselCertificateReport {
  std::uint8_t isError;       // non-zero: the record reports an error
  const wchar_t* errorText;   // error description
  const wchar_t* certName;    // certificate name
  std::uint32_t notRead[2];   // not read by the console
  const wchar_t* thumbprint;  // certificate thumbprint
};
#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(TesselCertificateReport, isError) == 0, "error flag at 0");
static_assert(offsetof(TesselCertificateReport, errorText) == 4, "error text at 4");
static_assert(offsetof(TesselCertificateReport, certName) == 8, "certificate name at 8");
static_assert(offsetof(TesselCertificateReport, notRead) == 12, "8 unread bytes at 12");
static_assert(offsetof(TesselCertificateReport, thumbprint) == 20, "thumbprint at 20");
static_assert(sizeof(TesselCertificateReport) == 24, "the record is 24 bytes");
#endif

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
