#pragma once
// Shows the wait cursor for as long as the object lives, and puts the
// previous cursor back when it goes. The console's handlers block the UI
// thread while a command runs, so nothing else changes the cursor in the
// meantime; windows the command opens (file dialogs, message boxes, the
// library's own dialogs) set their own cursor when the pointer moves over
// them.

#include <windows.h>

class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};
