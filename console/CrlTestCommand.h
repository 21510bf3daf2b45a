#pragma once
// The "CRL Test" command: finds the test certificate in the user's personal
// store, verifies its chain, checks it against a CRL fetched from its
// distribution points and writes the verdict into the output pane.

#include "console/ConsoleUi.h"

void RunCrlTest(ConsoleUi& ui);
