#pragma once
// The open dialogs the commands ask for, built in one place: the console's
// usual dialog (no owner, no flags, no title, no initial directory, 1040
// characters) with one filter pair and filter index 1.

#include <optional>
#include <string>
#include <utility>

#include "console/ConsoleUi.h"

// One filter pair; `defaultExtension` nullopt gives none.
inline FileDialogRequest FilteredOpenRequest(std::wstring description, std::wstring patterns,
                                             std::optional<std::wstring> defaultExtension) {
  FileDialogRequest request;
  request.filter = {{std::move(description), std::move(patterns)}};
  request.filterIndex = 1;
  request.defaultExtension = std::move(defaultExtension);
  return request;
}

// Signature files, detached (.p7s) or enveloping (.p7m).
inline FileDialogRequest SignedFilesRequest(std::optional<std::wstring> defaultExtension) {
  return FilteredOpenRequest(L"Signed Files", L"*.p7m;*.p7s", std::move(defaultExtension));
}

// The data file a detached signature covers: every file, an empty default
// extension.
inline FileDialogRequest DataFileRequest() {
  return FilteredOpenRequest(L"All files", L"*.*", std::wstring());
}
