#pragma once
// The system's common open and save dialogs, run from a FileDialogRequest.

#include <optional>
#include <string>

#include "console/ConsoleUi.h"

// Fills an OPENFILENAMEW of the system's current size from `request` (a
// zero-filled path buffer of `pathRoom` characters holding `initialName`) and
// runs GetOpenFileNameW or GetSaveFileNameW. Returns the buffer's text up to
// its terminator, or nullopt when the user cancels or the dialog fails.
// nMaxFile is never larger than the buffer.
std::optional<std::wstring> ShowCommonFileDialog(const FileDialogRequest& request);
