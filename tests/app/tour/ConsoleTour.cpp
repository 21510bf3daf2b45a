// A short guided tour of a running console, for `make run` on a machine
// without a display: it finds the console window of another process, shows
// a tooltip, opens the About box, clicks "ShowAboutBox" and
// "ShowSettingsDialog", answers the boxes they open, saves a screenshot of
// each step (BMP) and the output pane's text, and closes the console.
//
//   console_tour.exe <output folder>
//
// Exit code 0 when every step was seen, 1 otherwise.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

std::wstring g_folder;
std::wstring g_tourText;  // what the tour saw, saved as tour.txt
bool g_ok = true;

void Say(const std::wstring& line) {
  std::fwprintf(stdout, L"tour: %ls\n", line.c_str());
  std::fflush(stdout);
}

void Fail(const std::wstring& line) {
  std::fwprintf(stderr, L"tour: %ls\n", line.c_str());
  g_ok = false;
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds = 15000) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

std::wstring Text(HWND window) {
  // WM_GETTEXT is marshalled between processes.
  int length = static_cast<int>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = static_cast<int>(
      ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                        nullptr, nullptr);
  return out;
}

bool WriteFile(const std::wstring& path, const void* data, size_t size) {
  FILE* file = ::_wfopen(path.c_str(), L"wb");
  if (file == nullptr) return false;
  bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

void WriteUtf8(const std::wstring& path, const std::wstring& text) {
  std::string bytes = Utf8(text);
  if (!WriteFile(path, bytes.data(), bytes.size())) Fail(L"could not write " + path);
}

// Writes the screen's rectangle as a 24-bit BMP.
bool SaveScreen(RECT rect, const std::wstring& name) {
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool saved = false;
  if (bitmap != nullptr) {
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;
    std::string image(reinterpret_cast<const char*>(&file), sizeof(file));
    image.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    image.append(static_cast<const char*>(bits), imageSize);
    saved = WriteFile(g_folder + L"\\" + name, image.data(), image.size());
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
  }
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  if (saved)
    Say(L"saved " + name);
  else
    Fail(L"could not save " + name);
  return saved;
}

RECT WindowRect(HWND window) {
  RECT rect = {};
  ::GetWindowRect(window, &rect);
  return rect;
}

RECT Union(RECT a, RECT b) {
  RECT both = {};
  ::UnionRect(&both, &a, &b);
  return both;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

struct OwnedSearch {
  HWND owner;
  std::wstring className;
  HWND found;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<OwnedSearch*>(lParam);
  if (::IsWindowVisible(window) && ::GetWindow(window, GW_OWNER) == search->owner &&
      ClassOf(window) == search->className) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// A visible window of that class owned by `owner`.
HWND Owned(HWND owner, const wchar_t* className) {
  OwnedSearch search{owner, className, nullptr};
  ::EnumWindows(&FindOwned, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Posts a click, waits for the box or dialog it opens, saves a picture of
// the console with it, records its text and closes it.
void ClickAndAnswer(HWND console, int id, const std::wstring& what, const std::wstring& shot) {
  Say(L"clicking \"" + what + L"\"");
  ::PostMessageW(console, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(console, id)));
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = Owned(console, L"#32770")) != nullptr; })) {
    Fail(L"\"" + what + L"\" opened nothing");
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(400));  // let it paint
  std::wstring text = Text(::GetDlgItem(box, 0xFFFF));
  g_tourText += L"[" + what + L"] box \"" + Text(box) + L"\":\n" + text + L"\n\n";
  SaveScreen(Union(WindowRect(console), WindowRect(box)), shot);
  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  if (!WaitFor([&] { return !::IsWindow(box); })) Fail(L"the box of \"" + what + L"\" stayed");
  WaitFor([&] { return ::IsWindowEnabled(console) != FALSE; });
}

bool IsConsoleProcess(HWND window) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return false;
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  bool named = ::QueryFullProcessImageNameW(process, 0, path, &size) != FALSE;
  ::CloseHandle(process);
  std::wstring image(path, size);
  const std::wstring suffix = L"\\TesselTest.exe";
  return named && image.size() >= suffix.size() &&
         ::lstrcmpiW(image.c_str() + image.size() - suffix.size(), suffix.c_str()) == 0;
}

BOOL CALLBACK FindConsole(HWND window, LPARAM lParam) {
  if (::IsWindowVisible(window) && ClassOf(window) == L"#32770" && Text(window) == L"TesselTest" &&
      IsConsoleProcess(window)) {
    *reinterpret_cast<HWND*>(lParam) = window;
    return FALSE;
  }
  return TRUE;
}

// The console window of a running TesselTest.exe (not of a test program
// that shows the same dialog).
HWND FindConsoleWindow() {
  HWND found = nullptr;
  ::EnumWindows(&FindConsole, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fwprintf(stderr, L"usage: console_tour <output folder>\n");
    return 2;
  }
  g_folder = argv[1];
  ::CreateDirectoryW(g_folder.c_str(), nullptr);

  HWND console = nullptr;
  if (!WaitFor([&] { return (console = FindConsoleWindow()) != nullptr; }, 60000)) {
    Fail(L"no console window appeared");
    return 1;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  ::SetForegroundWindow(console);

  // 1. The console with the tooltip of the certificate-source box.
  RECT box = {};
  ::GetWindowRect(::GetDlgItem(console, 1019), &box);
  ::SetCursorPos(box.left + 1, box.top + 1);
  ::SetCursorPos((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  HWND tip = nullptr;
  if (WaitFor(
          [&] {
            tip = Owned(console, L"tooltips_class32");
            return tip != nullptr;
          },
          5000)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    g_tourText += L"[tooltip] " + Text(tip) + L"\n\n";
    SaveScreen(Union(WindowRect(console), WindowRect(tip)), L"01-console-tooltip.bmp");
  } else {
    Fail(L"the tooltip did not show");
    SaveScreen(WindowRect(console), L"01-console-tooltip.bmp");
  }
  ::SetCursorPos(0, 0);

  // 2. The About box from the system menu.
  Say(L"opening the About box from the system menu");
  ::PostMessageW(console, WM_SYSCOMMAND, 16, 0);
  HWND about = nullptr;
  if (WaitFor([&] { return (about = Owned(console, L"#32770")) != nullptr; })) {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    SaveScreen(Union(WindowRect(console), WindowRect(about)), L"02-about-box.bmp");
    ::PostMessageW(about, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !::IsWindow(about); });
  } else {
    Fail(L"the About box did not open");
  }

  // 3 and 4. The library's own dialogs through the substitute library.
  ClickAndAnswer(console, 1007, L"ShowAboutBox", L"03-show-about-box.bmp");
  ClickAndAnswer(console, 1001, L"ShowSettingsDialog", L"04-show-settings-dialog.bmp");

  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  SaveScreen(WindowRect(console), L"05-console-after-tour.bmp");
  std::wstring pane = Text(::GetDlgItem(console, 1013));
  WriteUtf8(g_folder + L"\\output-pane.txt", pane);
  WriteUtf8(g_folder + L"\\tour.txt", g_tourText);
  Say(L"output pane: " + std::to_wstring(pane.size()) + L" characters");

  Say(L"closing the console");
  ::PostMessageW(console, WM_COMMAND, IDCANCEL, 0);
  if (!WaitFor([&] { return !::IsWindow(console); })) Fail(L"the console did not close");
  return g_ok ? 0 : 1;
}
