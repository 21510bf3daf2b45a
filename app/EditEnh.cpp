#include "app/EditEnh.h"

#include <string>

void CEditEnh::AppendText(const wchar_t* text) {
  int length = GetWindowTextLength();
  SetSel(length, length);  // scrolls the caret, now at the end, into view
  ReplaceSel(text ? text : L"", FALSE);
}

void CEditEnh::AppendLine(const wchar_t* text) {
  std::wstring line(text ? text : L"");
  line += L"\r\n";
  AppendText(line.c_str());
}
