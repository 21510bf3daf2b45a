#include "console/CertificateReportCallback.h"

#include <string>
#include <type_traits>

#include "console/LibraryCall.h"

namespace {

const wchar_t* TextOrEmpty(const wchar_t* text) { return text != nullptr ? text : L""; }

}  // namespace

int __cdecl CertificateReportCallback(TesselUserValue userValue, TesselCertificateReport report) {
  ConsoleUi* ui = ConsoleUiFromUserValue(userValue);
  if (ui == nullptr) return 0;
  std::wstring line;
  if (report.isError != 0) {
    line = std::wstring(L"Error: ") + TextOrEmpty(report.errorText);
  } else {
    line = std::wstring(L"CertName: ") + TextOrEmpty(report.certName) + L"; Thumbprint: " +
           TextOrEmpty(report.thumbprint);
  }
  ui->AppendOutputLine(line.c_str());
  return ui->RefreshOutputPane();
}

static_assert(std::is_same_v<decltype(&CertificateReportCallback), TesselCertificateReportCallback>,
              "the callback has the type the library calls");
