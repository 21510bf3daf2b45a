// The application object: prepares the process and runs the console dialog.
#pragma once

#include "afx/Afx.h"

class CTesselTestApp : public CWinApp {
 public:
  CTesselTestApp();

  // Sets the Bulgarian thread locale and UI languages, prepares the
  // framework, runs the console modally and returns FALSE, so that the
  // application ends when the console closes.
  BOOL InitInstance() override;

  DECLARE_MESSAGE_MAP()
};
