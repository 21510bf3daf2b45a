#pragma once
// Every field of a FileDialogRequest as one text, so that a test compares
// whole requests and a failure shows which field differs.

#include <optional>
#include <sstream>
#include <string>
#include <utility>

#include "console/ConsoleUi.h"

inline std::wstring Describe(const FileDialogRequest& request) {
  std::wostringstream text;
  text << (request.kind == FileDialogRequest::Kind::Save ? L"save" : L"open") << L"; filter";
  for (const auto& entry : request.filter)
    text << L" [" << entry.first << L"|" << entry.second << L"]";
  text << L"; index " << request.filterIndex << L"; ext "
       << (request.defaultExtension ? L"\"" + *request.defaultExtension + L"\"" : L"null")
       << L"; name \"" << request.initialName << L"\"; dir "
       << (request.initialDirectory ? L"\"" + *request.initialDirectory + L"\"" : L"null")
       << L"; title " << (request.title ? L"\"" + *request.title + L"\"" : L"null") << L"; flags "
       << request.flags << L"; owner " << request.owner << L"; room " << request.pathRoom
       << L"; nMaxFile " << request.maxFile;
  return text.str();
}

// The console's usual open dialog with one filter pair: no owner, no flags,
// no title, no initial directory, a zero-filled path buffer of 1040
// characters, filter index 1, the default extension given (nullopt: none).
inline FileDialogRequest OpenRequest(const std::wstring& description, const std::wstring& patterns,
                                     std::optional<std::wstring> defaultExtension) {
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::Open;
  request.filter = {{description, patterns}};
  request.filterIndex = 1;
  request.defaultExtension = std::move(defaultExtension);
  request.initialName.clear();
  request.initialDirectory.reset();
  request.title.reset();
  request.flags = 0;
  request.owner = nullptr;
  request.pathRoom = 1040;
  request.maxFile = 1040;
  return request;
}
