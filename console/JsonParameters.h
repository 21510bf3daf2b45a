#pragma once
// The JSON parameter texts of the library's JSON exports: read from the JSON
// input pane, completed by the command, handed over as compact text.

#include "console/ConsoleUi.h"
#include "console/TesselContract.h"
#include "json/DaDureRarireZ.h"

// The exports that take a JSON text, the console's text callback and the
// user value share one type.
using TesselJsonExportFn = ATesselSignFileJsonFn;

// Loads the JSON pane's whole text into `parameters` when the pane is not
// empty. The load's result is not checked: text that does not load leaves
// the object empty, and the command then goes on as for an empty pane.
void LoadJsonPane(ConsoleUi& ui, rozazar::DaDureRarireZ& parameters);

// Calls `jsonExport` with the compact text of `parameters`, the console's
// OutputLineCallback and its user value; the export's result is not used.
void CallJsonExport(ConsoleUi& ui, TesselJsonExportFn jsonExport,
                    rozazar::DaDureRarireZ& parameters);
