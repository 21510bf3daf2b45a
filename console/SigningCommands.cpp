#include "console/SigningCommands.h"

#include <algorithm>
#include <optional>
#include <string>

#include "console/FileDialogRequests.h"
#include "console/JsonParameters.h"
#include "console/LibraryCall.h"
#include "console/OutputBuffer.h"
#include "foundation/file/PathText.h"
#include "json/DaDureRarireZ.h"

namespace {

// The source and target dialogs of "P7M -> P7S" have room for 1048
// characters and tell the dialog one less.
constexpr size_t kConversionPathRoom = 1048;
constexpr DWORD kConversionMaxFile = 1047;

FileDialogRequest EnvelopingSourceRequest() {
  FileDialogRequest request = FilteredOpenRequest(L"Signed Files", L"*.p7m", L".p7m");
  request.pathRoom = kConversionPathRoom;
  request.maxFile = kConversionMaxFile;
  return request;
}

FileDialogRequest DetachedTargetRequest(const std::wstring& proposal) {
  FileDialogRequest request = FilteredOpenRequest(L"Detached sign", L"*.p7s", L".p7s");
  request.kind = FileDialogRequest::Kind::Save;
  request.initialName = proposal;
  // At least the usual room. nMaxFile counts the terminator, so the dialog
  // takes the proposal, or a path of its length, only with nMaxFile past
  // that length.
  request.pathRoom = std::max(kConversionPathRoom, proposal.size() + 2);
  request.maxFile = static_cast<DWORD>(request.pathRoom - 1);
  return request;
}

}  // namespace

std::int32_t SignModeFromCheck(int state) {
  switch (state) {
    case BST_UNCHECKED:
      return 1;
    case BST_CHECKED:
      return 0;
    default:
      return 2;
  }
}

void RunSignFileJson(ConsoleUi& ui) {
  LibraryCall<ATesselSignFileJsonFn>(ui, kATesselSignFileJson, [&ui](ATesselSignFileJsonFn sign) {
    rozazar::DaDureRarireZ parameters;
    ui.UpdateDataFromControls();
    LoadJsonPane(ui, parameters);
    if (parameters.MemberCount() < 1) {
      const std::optional<std::wstring> path = ui.AskForFile(FileDialogRequest());
      if (!path) return;
      parameters.UpdateString(L"SignFile", path->c_str());
      parameters.UpdateInt(L"SignMode", SignModeFromCheck(ui.SignFileModeCheck()));
    }
    CallJsonExport(ui, sign, parameters);
  });
}

void RunSignFileFilter(ConsoleUi& ui) {
  LibraryCall<ATesselSignFileFilterFn>(
      ui, kATesselSignFileFilter, [&ui](ATesselSignFileFilterFn sign) {
        const std::optional<std::wstring> path = ui.AskForFile(FileDialogRequest());
        if (!path) return;
        OutputBuffer output(kSignFileFilterBufferChars);
        const std::int32_t mode = SignModeFromCheck(ui.FilterModeCheckState());
        sign(path->c_str(), mode, output.Data(), 0);
        ui.AppendOutputLine(output.Text().c_str());
      });
}

void RunSignInfo(ConsoleUi& ui) {
  LibraryCall<ATesselSignInfoJsonFn>(ui, kATesselSignInfoJson, [&ui](ATesselSignInfoJsonFn info) {
    const std::optional<std::wstring> signature = ui.AskForFile(SignedFilesRequest(L".p7m"));
    if (!signature) return;
    rozazar::DaDureRarireZ parameters;
    if (rozazar::extensionOf(rozazar::lowerCased(*signature)) == L".p7s") {
      const std::optional<std::wstring> data = ui.AskForFile(DataFileRequest());
      if (!data) return;
      parameters.UpdateString(L"DataFile", data->c_str());
    }
    parameters.UpdateString(L"SignFile", signature->c_str());
    CallJsonExport(ui, info, parameters);
  });
}

void RunIsP7S(ConsoleUi& ui) {
  LibraryCall<ATesselIsP7SFn>(ui, kATesselIsP7S, [&ui](ATesselIsP7SFn isP7S) {
    const std::optional<std::wstring> path = ui.AskForFile(SignedFilesRequest(L".p7m"));
    if (!path) return;
    const TesselBool detached = isP7S(path->c_str(), ErrorBoxCallback, UserValueOf(ui));
    // A box owned by the console, without the application box's icon.
    ui.ShowMessageBox(ui.OwnerWindow(),
                      detached != 0 ? L"It is a P7S file!" : L"NOOO It is not a P7S file!", nullptr,
                      MB_OK);
  });
}

void RunP7MToP7S(ConsoleUi& ui) {
  LibraryCall<ATesselP7M2P7SFn>(ui, kATesselP7M2P7S, [&ui](ATesselP7M2P7SFn convert) {
    const std::optional<std::wstring> source = ui.AskForFile(EnvelopingSourceRequest());
    if (!source) return;
    const std::wstring proposal = rozazar::withoutExtension(*source) + L".p7s";
    const std::optional<std::wstring> target = ui.AskForFile(DetachedTargetRequest(proposal));
    if (!target) return;
    if (convert(source->c_str(), target->c_str()) == 0) {
      ShowApplicationMessageBox(ui, L"Error converting P7M to P7S");
    }
  });
}
