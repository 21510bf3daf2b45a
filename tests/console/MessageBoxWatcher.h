#pragma once
// Answers the real message boxes of this process from a second thread: finds
// each visible dialog-class window (#32770), records its caption, text and
// owner, and closes it with OK. Destroying the watcher stops it.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class MessageBoxWatcher {
 public:
  struct Seen {
    HWND owner;
    std::wstring caption;
    std::wstring text;
  };

  MessageBoxWatcher() : thread_([this] { Watch(); }) {}
  ~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
  }
  MessageBoxWatcher(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

  std::vector<Seen> SeenSoFar() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }

 private:
  static std::wstring TextOf(HWND window) {
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
  }

  static BOOL CALLBACK Visit(HWND window, LPARAM context) {
    auto* self = reinterpret_cast<MessageBoxWatcher*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) ||
        std::wstring(className) != L"#32770") {
      return TRUE;
    }
    for (HWND known : self->closing_) {
      if (known == window) return TRUE;
    }
    Seen seen{GetWindow(window, GW_OWNER), TextOf(window), TextOf(GetDlgItem(window, 0xFFFF))};
    {
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->seen_.push_back(seen);
    }
    self->closing_.push_back(window);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
  }

  void Watch() {
    while (!stop_) {
      EnumWindows(&MessageBoxWatcher::Visit, reinterpret_cast<LPARAM>(this));
      // Forget closed boxes so that a later box with a reused handle counts.
      std::vector<HWND> open;
      for (HWND window : closing_) {
        if (IsWindow(window)) open.push_back(window);
      }
      closing_.swap(open);
      Sleep(20);
    }
  }

  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Seen> seen_;
  std::vector<HWND> closing_;
  std::thread thread_;
};
