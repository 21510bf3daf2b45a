#include "console/LibraryDialogCommands.h"

#include "console/LibraryCall.h"

void RunShowSettingsDialog(ConsoleUi& ui) {
  LibraryCall<ATesselShowSettingsDialogFn>(
      ui, kATesselShowSettingsDialog,
      [](ATesselShowSettingsDialogFn showSettings) { showSettings(); });
}

void RunShowAboutBox(ConsoleUi& ui) {
  LibraryCall<ATesselShowAboutBoxFn>(ui, kATesselShowAboutBox,
                                     [](ATesselShowAboutBoxFn showAbout) { showAbout(); });
}
