#pragma once
// The two commands that only open the library's own dialogs: its settings
// and its About box. Each runs the library call protocol; the export is called
// without arguments and its result is ignored.

#include "console/ConsoleUi.h"

void RunShowSettingsDialog(ConsoleUi& ui);
void RunShowAboutBox(ConsoleUi& ui);
