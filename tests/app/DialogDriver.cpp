#include "tests/app/DialogDriver.h"

#include "tests/testing/FileDialogControls.h"

namespace dialog_test {

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::wstring WindowText(HWND window) {
  // WM_GETTEXT reaches windows of other threads as well.
  int length = static_cast<int>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = static_cast<int>(
      ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return name;
}

namespace {
struct FindDialog {
  std::wstring caption;
  HWND found = nullptr;
};

BOOL CALLBACK FindDialogProc(HWND window, LPARAM lParam) {
  auto* find = reinterpret_cast<FindDialog*>(lParam);
  if (::IsWindowVisible(window) && ClassName(window) == L"#32770" &&
      WindowText(window) == find->caption) {
    find->found = window;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindThreadDialog(DWORD threadId, const std::wstring& caption) {
  FindDialog find{caption};
  ::EnumThreadWindows(threadId, &FindDialogProc, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

namespace {
BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
  if (ClassName(window) == L"#32770") ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}
}  // namespace

bool CloseThreadWindows(const UiThread& ui, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!ui.Finished()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    ::EnumThreadWindows(ui.Id(), &CancelDialog, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

UiThread::UiThread(std::function<void()> body)
    : thread_([this, body = std::move(body)] {
        id_ = ::GetCurrentThreadId();
        body();
        finished_ = true;
      }) {
  WaitFor([this] { return id_.load() != 0; });
}

UiThread::~UiThread() { Join(); }

void UiThread::Join() {
  if (thread_.joinable()) thread_.join();
}

namespace {
struct BoxSearch {
  DWORD processId;
  std::vector<HWND> boxes;
};

bool IsMessageBox(HWND window) {
  if (ClassName(window) != L"#32770" || !::IsWindowVisible(window)) return false;
  // The consoles's own dialogs have none of the message box's static text.
  return ::GetDlgItem(window, 0xFFFF) != nullptr && ::GetDlgItem(window, 1000) == nullptr &&
         !file_dialog_test::IsFileDialog(window);
}

BOOL CALLBACK FindFileDialogOfProcess(HWND window, LPARAM lParam) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (processId != ::GetCurrentProcessId() || !file_dialog_test::IsFileDialog(window)) return TRUE;
  *reinterpret_cast<HWND*>(lParam) = window;
  return FALSE;
}

BOOL CALLBACK FindBoxes(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<BoxSearch*>(lParam);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (processId == search->processId && IsMessageBox(window)) search->boxes.push_back(window);
  return TRUE;
}
}  // namespace

HWND WaitForFileDialog(std::chrono::milliseconds timeout) {
  HWND dialog = nullptr;
  WaitFor(
      [&dialog] {
        ::EnumWindows(&FindFileDialogOfProcess, reinterpret_cast<LPARAM>(&dialog));
        return dialog != nullptr;
      },
      timeout);
  // Let the dialog finish filling its controls before it is answered.
  if (dialog != nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(150));
  return dialog;
}

MessageBoxWatcher::MessageBoxWatcher() : thread_([this] { Watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
  stop_ = true;
  thread_.join();
}

void MessageBoxWatcher::Watch() {
  while (!stop_) {
    BoxSearch search{::GetCurrentProcessId(), {}};
    ::EnumWindows(&FindBoxes, reinterpret_cast<LPARAM>(&search));
    for (HWND box : search.boxes) {
      {
        // A box already answered may still be on its way out.
        std::lock_guard<std::mutex> lock(mutex_);
        bool known = false;
        for (HWND answered : answered_) known = known || answered == box;
        if (known) continue;
      }
      // Wait a moment for the box to be complete before reading it.
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      if (!::IsWindow(box)) continue;
      SeenBox seen{::GetWindow(box, GW_OWNER), WindowText(box),
                   WindowText(::GetDlgItem(box, 0xFFFF))};
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back(seen);
        answered_.push_back(box);
      }
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::vector<SeenBox> MessageBoxWatcher::Seen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

size_t MessageBoxWatcher::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_.size();
}

bool MessageBoxWatcher::WaitForCount(size_t count, std::chrono::milliseconds timeout) const {
  return WaitFor([&] { return Count() >= count; }, timeout);
}

void PostClick(HWND dialog, int controlId) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, controlId)));
}

RECT ClientRectOf(HWND control) {
  RECT rect = {};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT DialogUnitsToPixels(HWND dialog, int x, int y, int cx, int cy) {
  // The dialog manager converts position and size separately.
  RECT units = {x, y, cx, cy};
  ::MapDialogRect(dialog, &units);
  return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

}  // namespace dialog_test
