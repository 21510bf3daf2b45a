/* Keeps the Wine session's desktop open while the tests run.
 *
 * Wine starts the desktop process (explorer.exe /desktop) from the first
 * program that needs the desktop and hands it that program's standard
 * error. It closes the desktop again about a second after its last user
 * has gone. Under ctest, that first program's standard error is a pipe, so
 * ctest waits for the desktop process as long as tests keep it busy, up to
 * a minute after the test itself has finished. The Wine session starts this
 * program first, with its streams on /dev/null: it creates the desktop,
 * stays one of its users with a message-only window that never shows or
 * takes the focus, and ends when the session stops the wineserver. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR command, int show) {
  (void)instance;
  (void)previous;
  (void)command;
  (void)show;
  HWND keeper = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
  if (keeper == NULL) return 1;
  MSG message;
  while (GetMessageW(&message, NULL, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
