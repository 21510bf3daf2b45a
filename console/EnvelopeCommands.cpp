#include "console/EnvelopeCommands.h"

#include <algorithm>
#include <optional>
#include <string>

#include "console/FileDialogRequests.h"
#include "console/LibraryCall.h"
#include "console/OutputBuffer.h"
#include "foundation/file/PathText.h"

namespace {

// The three exports that take a file and a null second argument share one
// type.
using FileExportFn = ATesselDecryptVerifyFileFn;

// Asks for the file (no filter unless given) and hands it to the export; the
// result is not used and the library reports on its own.
void RunFileCommand(ConsoleUi& ui, const wchar_t* exportName, const FileDialogRequest& request) {
  LibraryCall<FileExportFn>(ui, exportName, [&ui, &request](FileExportFn fileExport) {
    const std::optional<std::wstring> path = ui.AskForFile(request);
    if (!path) return;
    fileExport(path->c_str(), nullptr);
  });
}

}  // namespace

void RunDecryptVerifyFile(ConsoleUi& ui) {
  RunFileCommand(ui, kATesselDecryptVerifyFile, SignedFilesRequest(std::nullopt));
}

void RunEncryptFile(ConsoleUi& ui) { RunFileCommand(ui, kATesselEncryptFile, FileDialogRequest()); }

void RunSignAndEncryptFile(ConsoleUi& ui) {
  RunFileCommand(ui, kATesselSignAndEncryptFile, FileDialogRequest());
}

void RunExtractFile(ConsoleUi& ui) {
  LibraryCall<ATesselExtractFileFn>(ui, kATesselExtractFile, [&ui](ATesselExtractFileFn extract) {
    const std::optional<std::wstring> path = ui.AskForFile(SignedFilesRequest(L".p7m"));
    if (!path) return;
    // Room for the library's 1000 characters, and always for the whole
    // directory.
    const std::wstring directory = rozazar::directoryOf(*path);
    OutputBuffer buffer(std::max(kExtractBufferChars, directory.size()) + 1, directory);
    if (extract(path->c_str(), buffer.Data(), 0, 0) != 0) {
      ui.AppendOutputText(L"true=");
      ui.AppendOutputLine(buffer.Text().c_str());
    } else {
      ui.AppendOutputText(L"false");
    }
  });
}
