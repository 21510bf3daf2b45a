// The edit control of both panes of the console, with appending at the end.
#pragma once

#include "afx/Afx.h"

class CEditEnh : public CEdit {
 public:
  ~CEditEnh() override = default;

  // Appends text at the end of the control's text, whatever is selected,
  // scrolling to the end first; not undoable. A null text appends nothing.
  void AppendText(const wchar_t* text);
  // Appends the text followed by a carriage return and a line feed.
  void AppendLine(const wchar_t* text);
};
