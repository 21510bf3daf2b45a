// Helpers for driving the real console dialog from a test: the dialog runs
// modally on a UI thread of its own, the test's thread finds its windows,
// posts clicks and keys, reads controls, and answers every message box.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace dialog_test {

// Polls `condition` every 10 ms until it holds or `timeout` passes.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);

// The first visible dialog window (#32770) of `threadId` with that caption,
// or null.
HWND FindThreadDialog(DWORD threadId, const std::wstring& caption);

// Asks every dialog and message box of the thread to close (IDCANCEL),
// again and again until the thread has finished or `timeout` passed, so
// that a failed test never leaves a modal window hanging.
bool CloseThreadWindows(const class UiThread& ui,
                        std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

// Runs `body` on a thread of its own (the UI thread) and joins it in the
// destructor.
class UiThread {
 public:
  explicit UiThread(std::function<void()> body);
  UiThread(const UiThread&) = delete;
  UiThread& operator=(const UiThread&) = delete;
  ~UiThread();

  DWORD Id() const { return id_.load(); }
  bool Finished() const { return finished_.load(); }
  void Join();

 private:
  std::atomic<DWORD> id_{0};
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

// A message box seen and answered by the watcher.
struct SeenBox {
  HWND owner;
  std::wstring caption;
  std::wstring text;
};

// Watches the process for message boxes (visible #32770 windows with the
// static text 0xFFFF and at least one button but none of the console's
// controls), records them and closes each with the command of its first
// button (OK). Stops in its destructor.
class MessageBoxWatcher {
 public:
  MessageBoxWatcher();
  MessageBoxWatcher(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
  ~MessageBoxWatcher();

  std::vector<SeenBox> Seen() const;
  size_t Count() const;
  // Waits until at least `count` boxes were answered.
  bool WaitForCount(size_t count,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(10000)) const;

 private:
  void Watch();

  mutable std::mutex mutex_;
  std::vector<SeenBox> seen_;
  std::vector<HWND> answered_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// The open or save dialog of this process once it is showing, or null
// after `timeout`.
HWND WaitForFileDialog(std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

// Clicks a button of a dialog the way the user does, without waiting for
// what the click opens: a posted BN_CLICKED command.
void PostClick(HWND dialog, int controlId);

// The rectangle of a control in its dialog's client coordinates.
RECT ClientRectOf(HWND control);
// A rectangle in dialog units converted to the dialog's pixels.
RECT DialogUnitsToPixels(HWND dialog, int x, int y, int cx, int cy);

// The folder of this test program, with a trailing backslash.
std::wstring ProgramFolder();

}  // namespace dialog_test
