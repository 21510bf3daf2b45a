#include "console/CertificateCommands.h"

#include "certs/KeyStorageProviders.h"
#include "console/CertificateReportCallback.h"
#include "console/FileDialogRequests.h"
#include "console/JsonParameters.h"
#include "console/LibraryCall.h"
#include "console/OutputBuffer.h"
#include "json/DaDureRarireZ.h"

namespace {

FileDialogRequest CertificateFileRequest(const wchar_t* patterns, const wchar_t* defaultExtension) {
  return FilteredOpenRequest(L"Certificates", patterns, defaultExtension);
}

FileDialogRequest SelectionFileRequest() {
  return CertificateFileRequest(L"*.p12;*.pfx;*.cer;*.pem;*.crt;*.p7m;*.p7s", L".p12");
}

FileDialogRequest CertInfoFileRequest() {
  return CertificateFileRequest(L"*.p12;*.pfx;*.cer;*.crt;*.p7b;*.pem", L".cer");
}

// Four zero-filled buffers of `chars` characters plus the terminator, in the
// export's order: common name, thumbprint, start and end of validity.
struct SelectionBuffers {
  explicit SelectionBuffers(std::size_t chars)
      : commonName(chars + 1), thumbprint(chars + 1), notBefore(chars + 1), notAfter(chars + 1) {}

  void Fill(ATesselSelectCertificateFn select) {
    select(commonName.Data(), thumbprint.Data(), notBefore.Data(), notAfter.Data());
  }

  OutputBuffer commonName;
  OutputBuffer thumbprint;
  OutputBuffer notBefore;
  OutputBuffer notAfter;
};

bool IsListedProvider(const std::wstring& name) {
  return name.find(L"Microsoft") != std::wstring::npos && name.find(L"Smart") == std::wstring::npos;
}

}  // namespace

void RunSelectCertificateJson(ConsoleUi& ui) {
  LibraryCall<ATesselSelectCertificateJsonFn>(
      ui, kATesselSelectCertificateJson, [&ui](ATesselSelectCertificateJsonFn select) {
        rozazar::DaDureRarireZ parameters;
        ui.UpdateDataFromControls();
        LoadJsonPane(ui, parameters);
        if (parameters.MemberCount() < 1) {
          if (ui.CertFromWindowsCheck() == BST_CHECKED) {
            parameters.UpdateString(L"Store", L"My");
          } else {
            const std::optional<std::wstring> path = ui.AskForFile(SelectionFileRequest());
            if (!path) return;
            parameters.UpdateString(L"Filename", path->c_str());
          }
        }
        CallJsonExport(ui, select, parameters);
      });
}

void RunSelectCertificate(ConsoleUi& ui) {
  LibraryCall<ATesselSelectCertificateFn>(ui, kATesselSelectCertificate, [&ui](auto select) {
    // Only the common name is shown.
    SelectionBuffers buffers(kSelectCertificateChars);
    buffers.Fill(select);
    ui.AppendOutputLine(buffers.commonName.Text().c_str());
  });
}

void RunSelectCertificateOld(ConsoleUi& ui) {
  LibraryCall<ATesselSelectCertificateFn>(ui, kATesselSelectCertificate, [&ui](auto select) {
    // One line with the four labelled values, empty ones included.
    SelectionBuffers buffers(kSelectCertificateOldChars);
    buffers.Fill(select);
    ui.AppendOutputText(L"CN: ");
    ui.AppendOutputText(buffers.commonName.Text().c_str());
    ui.AppendOutputText(L" TP: ");
    ui.AppendOutputText(buffers.thumbprint.Text().c_str());
    ui.AppendOutputText(L" NB: ");
    ui.AppendOutputText(buffers.notBefore.Text().c_str());
    ui.AppendOutputText(L" NA: ");
    ui.AppendOutputLine(buffers.notAfter.Text().c_str());
  });
}

void RunCertInfo(ConsoleUi& ui) {
  LibraryCall<ATesselCertInfoJsonFn>(ui, kATesselCertInfoJson, [&ui](ATesselCertInfoJsonFn info) {
    const std::optional<std::wstring> path = ui.AskForFile(CertInfoFileRequest());
    if (!path) return;
    rozazar::DaDureRarireZ parameters;
    parameters.UpdateString(L"Filename", path->c_str());
    CallJsonExport(ui, info, parameters);
  });
}

void RunCertStoreInfoCng(ConsoleUi& ui) {
  RunCertStoreInfoCng(ui, &varnok::KeyStorageProviderNames);
}

void RunCertStoreInfoCng(ConsoleUi& ui, const KeyStorageProviderSource& providers) {
  LibraryCall<ATesselCertStoreInfoFn>(
      ui, kATesselCertStoreInfo, [&ui, &providers](ATesselCertStoreInfoFn storeInfo) {
        const std::optional<std::vector<std::wstring>> names = providers();
        if (!names) return;
        for (const std::wstring& name : *names) {
          if (!IsListedProvider(name)) continue;
          ui.AppendOutputLine(name.c_str());
          storeInfo(name.c_str(), CertificateReportCallback, UserValueOf(ui));
        }
      });
}
