#pragma once
// The two commands that work without Tessel.dll: "Verify Win32" checks a
// signature file with the operating system's own message functions, "Test"
// splits a fixed parameter text into its fields and shows each of them.

#include <string>
#include <vector>

#include "console/ConsoleUi.h"

// Asks for a signature file (.p7m or .p7s) and shows "OK" when the system
// verifies it against the content it covers, "Fail" otherwise. A detached
// signature covers the file beside it without its last extension
// (x.pdf.p7s covers x.pdf); when there is none the user picks the data
// file. A cancelled dialog ends the command silently.
void RunVerifyWin32(ConsoleUi& ui);

// Shows each field of the fixed parameter text in a message box of its own.
void RunTest(ConsoleUi& ui);

// The fields of `text` separated by "|", in order. Null or empty text gives
// no fields; two bars in a row give an empty field, a bar at the start an
// empty first field, and a bar at the end no empty last field.
std::vector<std::wstring> SplitParameterString(const wchar_t* text);
