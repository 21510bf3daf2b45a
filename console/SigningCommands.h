#pragma once
// The signing commands: sign a file from a JSON parameter text or through
// the filter export, describe a signature, tell a detached signature from an
// enveloping one, and turn an enveloping signature file into a detached one.
// Each runs the library call protocol with its export.

#include <cstdint>

#include "console/ConsoleUi.h"

// The signing mode of a three-state check box: clear gives 1 (enveloping),
// checked gives 0 (detached), any other state gives 2 (the library lets the
// user choose).
std::int32_t SignModeFromCheck(int state);

void RunSignFileJson(ConsoleUi& ui);    // "SignFile JSON"
void RunSignFileFilter(ConsoleUi& ui);  // "SignFileFilter"
void RunSignInfo(ConsoleUi& ui);        // "SignInfo"
void RunIsP7S(ConsoleUi& ui);           // "IsP7S"
void RunP7MToP7S(ConsoleUi& ui);        // "P7M -> P7S"
