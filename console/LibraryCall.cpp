#include "console/LibraryCall.h"

#include "certs/CommonLibrary.h"
#include "certs/FormatErrorText.h"
#include "console/WaitCursor.h"

TesselUserValue UserValueOf(ConsoleUi& ui) {
  // Through the signed pointer-sized integer, so that a 32-bit address is
  // sign-extended.
  return static_cast<TesselUserValue>(reinterpret_cast<std::intptr_t>(&ui));
}

ConsoleUi* ConsoleUiFromUserValue(TesselUserValue userValue) {
  // The pointer-sized low part: 32 bits on x86, the whole value on x64,
  // where an address may lie above 4 GB.
  const auto address = static_cast<std::uintptr_t>(static_cast<std::uint64_t>(userValue));
  return reinterpret_cast<ConsoleUi*>(address);
}

int __cdecl OutputLineCallback(TesselUserValue userValue, const wchar_t* text) {
  ConsoleUi* ui = ConsoleUiFromUserValue(userValue);
  if (ui == nullptr) return 0;
  ui->AppendOutputLine(text != nullptr ? text : L"");
  return ui->RefreshOutputPane();
}

int __cdecl ErrorBoxCallback(TesselUserValue userValue, const wchar_t* text) {
  const wchar_t* shown = text != nullptr ? text : L"";
  ConsoleUi* ui = ConsoleUiFromUserValue(userValue);
  if (ui == nullptr) return MessageBoxW(nullptr, shown, L"Error", MB_OK);
  return ui->ShowMessageBox(ui->OwnerWindow(), shown, L"Error", MB_OK);
}

void ReportLibraryError(ConsoleUi& ui, std::uint32_t code) {
  const std::wstring text = varnok::FormatErrorText(code, nullptr);
  ui.ShowMessageBox(ui.OwnerWindow(), text.c_str(), nullptr, MB_OK);
}

namespace library_call_detail {
namespace {

// Looks `name` up; on failure reports the error and returns null. A null
// address counts as a failure even if the system recorded no error code, so
// that a missing export is never called.
FARPROC Resolve(ConsoleUi& ui, varnok::CommonLibrary& library, const wchar_t* name) {
  FARPROC address = library.ProcAddress(name);
  if (library.lastError != 0 || address == nullptr) {
    ReportLibraryError(ui, library.lastError != 0 ? library.lastError : ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return address;
}

}  // namespace

CurrentExport& Current() {
  thread_local CurrentExport current;
  return current;
}

namespace {

// Frees the library after a fault; should that fault too, the library stays
// loaded rather than risking a second failure.
void ReleaseAfterFault(varnok::CommonLibrary& library) {
  LibraryFault ignored;
  const GuardedCall release = [](void* module) noexcept {
    FreeLibrary(static_cast<HMODULE>(module));
  };
  CallGuarded(release, library.Release(), ignored);
}

}  // namespace

void Run(ConsoleUi& ui, const wchar_t* libraryName, const wchar_t* exportName,
         const std::function<void()>& body) {
  // Declared before the library, so the cursor comes back only after the
  // library has been released.
  const WaitCursor wait;
  varnok::CommonLibrary library(libraryName);
  if (library.lastError != 0 || library.Module() == nullptr) {
    ReportLibraryError(ui, library.lastError != 0 ? library.lastError : ERROR_MOD_NOT_FOUND);
    return;
  }

  FARPROC init = Resolve(ui, library, kATesselInit);
  if (init == nullptr) return;
  try {
    Current() = {init, kATesselInit};
    Guarded<ATesselInitFn>::Call(ui.OwnerWindow());
    FARPROC address = Resolve(ui, library, exportName);
    if (address == nullptr) return;
    Current() = {address, exportName};
    body();
  } catch (const LibraryFaulted& fault) {
    // The transcript keeps the report; the box makes sure it is seen.
    ui.AppendOutputLine(fault.Report().c_str());
    ui.RefreshOutputPane();
    ui.ShowMessageBox(ui.OwnerWindow(), fault.Report().c_str(), nullptr, MB_OK | MB_ICONERROR);
    ReleaseAfterFault(library);
  }
}

}  // namespace library_call_detail
