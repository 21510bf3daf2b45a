#pragma once
// The protocol every library command runs: load Tessel.dll, initialise it
// with the console's window, look up the command's export, run the command's
// body with it and release the library. Load and look-up failures are shown
// in a message box owned by the console; the body is then not run.
//
// Also the two text callbacks the console hands to the library.

#include <cstdint>
#include <functional>
#include <tuple>

#include "console/ConsoleUi.h"
#include "console/LibraryGuard.h"
#include "console/TesselContract.h"

// The user value that carries `ui` through the library: its address, widened
// to 64 bits with sign extension.
TesselUserValue UserValueOf(ConsoleUi& ui);

// The interface whose address is in the pointer-sized low part of
// `userValue` (its low 32 bits on x86, all of it on x64); null when that part
// is 0.
ConsoleUi* ConsoleUiFromUserValue(TesselUserValue userValue);

// Appends `text` as a line to the output pane of the console named by
// `userValue`, then refreshes the pane and returns the refresh's result. A
// null text gives an empty line; a user value without a console changes
// nothing and returns 0.
int __cdecl OutputLineCallback(TesselUserValue userValue, const wchar_t* text);

// Shows `text` in a message box with the caption "Error" and an OK button,
// owned by the console's window (no owner when the user value names no
// console); returns the box's result. A null text shows an empty box.
int __cdecl ErrorBoxCallback(TesselUserValue userValue, const wchar_t* text);

// Shows FormatErrorText(code) in a message box owned by the console, with the
// default caption and an OK button.
void ReportLibraryError(ConsoleUi& ui, std::uint32_t code);

namespace library_call_detail {

void Run(ConsoleUi& ui, const wchar_t* libraryName, const wchar_t* exportName,
         const std::function<void()>& body);

// The export the guarded calls of this thread go to, and its name.
struct CurrentExport {
  FARPROC address = nullptr;
  const wchar_t* name = nullptr;
};
CurrentExport& Current();

template <typename Export>
struct Guarded;

// A function of the export's own type that calls the current export under
// the guard, and throws LibraryFaulted with the report when a fault escapes
// it.
template <typename Result, typename... Arguments>
struct Guarded<Result(__cdecl*)(Arguments...)> {
  using Export = Result(__cdecl*)(Arguments...);

  static Result __cdecl Call(Arguments... arguments) {
    struct Frame {
      Export target;
      std::tuple<Arguments...> arguments;
      Result result;
    };
    // Through the generic function-pointer type, which converts to every
    // other without a warning about mismatched signatures.
    Frame frame{reinterpret_cast<Export>(reinterpret_cast<void (*)()>(Current().address)),
                std::tuple<Arguments...>(arguments...), Result()};
    LibraryFault fault;
    const GuardedCall call = [](void* context) noexcept {
      Frame& called = *static_cast<Frame*>(context);
      called.result = std::apply(called.target, called.arguments);
    };
    if (!CallGuarded(call, &frame, fault)) {
      throw LibraryFaulted(DescribeLibraryFault(Current().name, fault));
    }
    return frame.result;
  }
};

}  // namespace library_call_detail

// Runs the protocol for the export `exportName` of type `Export` (one of the
// function-pointer types of TesselContract.h); `body` receives a function of
// that type that calls the export under the guard. A fault that escapes the
// library ends the body; it is shown in a box and as a line of the output
// pane, and the library is released. The library is released when this
// returns, also when the body throws.
template <typename Export, typename Body>
void LibraryCall(ConsoleUi& ui, const wchar_t* exportName, Body&& body) {
  auto guarded = [&body]() { body(&library_call_detail::Guarded<Export>::Call); };
  library_call_detail::Run(ui, kTesselLibraryName, exportName, guarded);
}
