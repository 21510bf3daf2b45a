#include "console/JsonParameters.h"

#include <string>

#include "console/LibraryCall.h"

void LoadJsonPane(ConsoleUi& ui, rozazar::DaDureRarireZ& parameters) {
  const std::wstring text = ui.JsonInputText();
  if (!text.empty()) parameters.Load(text.c_str());
}

void CallJsonExport(ConsoleUi& ui, TesselJsonExportFn jsonExport,
                    rozazar::DaDureRarireZ& parameters) {
  // Emit fails only when no result slot can be made; the library still gets
  // a text rather than a null pointer.
  const wchar_t* json = parameters.Emit();
  jsonExport(json != nullptr ? json : L"", OutputLineCallback, UserValueOf(ui));
}
