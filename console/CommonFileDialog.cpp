#include "console/CommonFileDialog.h"

#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <vector>

std::optional<std::wstring> ShowCommonFileDialog(const FileDialogRequest& request) {
  const size_t room = std::max<size_t>(request.pathRoom, 1);
  std::vector<wchar_t> path(room, L'\0');
  const size_t initialLength = std::min(request.initialName.size(), room - 1);
  std::copy_n(request.initialName.data(), initialLength, path.begin());

  // Pairs of zero-terminated texts, ended by one more zero.
  std::wstring filter;
  for (const auto& entry : request.filter) {
    filter += entry.first;
    filter += L'\0';
    filter += entry.second;
    filter += L'\0';
  }
  filter += L'\0';

  OPENFILENAMEW parameters = {};
  parameters.lStructSize = sizeof parameters;
  parameters.hwndOwner = request.owner;
  parameters.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
  parameters.nFilterIndex = request.filterIndex;
  parameters.lpstrFile = path.data();
  parameters.nMaxFile = static_cast<DWORD>(std::min<size_t>(request.maxFile, room));
  parameters.lpstrInitialDir =
      request.initialDirectory ? request.initialDirectory->c_str() : nullptr;
  parameters.lpstrTitle = request.title ? request.title->c_str() : nullptr;
  parameters.Flags = request.flags;
  parameters.lpstrDefExt = request.defaultExtension ? request.defaultExtension->c_str() : nullptr;

  const BOOL chosen = request.kind == FileDialogRequest::Kind::Save ? GetSaveFileNameW(&parameters)
                                                                    : GetOpenFileNameW(&parameters);
  if (!chosen) return std::nullopt;
  return std::wstring(path.data(), wcsnlen(path.data(), room));
}
