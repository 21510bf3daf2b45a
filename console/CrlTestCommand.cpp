#include "console/CrlTestCommand.h"

#include <filesystem>
#include <stdexcept>
#include <string>

#include "certs/CryptCertificate.h"
#include "certs/CryptStore.h"
#include "certs/FindValidBySubject.h"
#include "certs/HashToHex.h"
#include "certs/RevocationCheck.h"
#include "console/WaitCursor.h"

namespace {

constexpr wchar_t kPersonalStore[] = L"MY";
constexpr wchar_t kRootStore[] = L"ROOT";
constexpr wchar_t kSubjectText[] = L"Sample Subject Name";
constexpr wchar_t kCacheFolder[] = L"c:\\Users\\qelmar\\Desktop";
constexpr wchar_t kDownloadFolder[] = L"c:\\Users\\qelmar\\Desktop\\";

// An error text of the standard library (ANSI code page) as wide text.
std::wstring Widen(const char* text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

void Report(ConsoleUi& ui, const std::wstring& text) {
  ui.ShowMessageBox(ui.OwnerWindow(), text.c_str(), nullptr, MB_OK | MB_ICONERROR);
}

void RunChecks(ConsoleUi& ui) {
  varnok::CryptStore personal(kPersonalStore);
  varnok::SubjectSearchResult found = varnok::FindValidBySubject(personal.Store(), kSubjectText);
  if (found.outcome == varnok::SubjectSearchOutcome::NotFound) {
    const std::wstring text = std::wstring(L"Certificate for \"") + kSubjectText + L"\" not found";
    ShowApplicationMessageBox(ui, text.c_str());
    return;
  }
  if (found.outcome == varnok::SubjectSearchOutcome::NoneValid) return;

  varnok::CryptCertificate certificate(found.certificate.get());
  varnok::CryptStore roots(kRootStore);
  // The chain verdict is not shown; building the chain lets the system fetch
  // what it needs for the certificate.
  certificate.VerifyChain(roots.Store());

  varnok::RevocationCheckOptions options;
  options.cacheFolder = kCacheFolder;
  options.downloadFolder = kDownloadFolder;
  options.hashFunction = &varnok::HashToHex;
  const varnok::VerificationResult result =
      varnok::CheckRevocation(found.certificate.get(), options);
  if (result.code != 0) {
    ui.AppendOutputLine(L"Сертификата НЕ е валиден.");
    ui.AppendOutputLine(result.message.c_str());
  } else {
    ui.AppendOutputLine(L"Сертификата е валиден.");
  }
  ui.RefreshOutputPane();
}

}  // namespace

void RunCrlTest(ConsoleUi& ui) {
  WaitCursor wait;
  // A failed folder or file operation, or no transfer handle, ends the
  // command with a message instead of ending the program.
  try {
    RunChecks(ui);
  } catch (const std::filesystem::filesystem_error& error) {
    Report(ui, Widen(error.what()));
  } catch (const std::runtime_error& error) {
    Report(ui, Widen(error.what()));
  }
}
