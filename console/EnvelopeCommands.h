#pragma once
// The envelope commands: each hands one chosen file to the library to
// decrypt and verify, encrypt, sign and encrypt, or extract. Each runs the
// library call protocol with its export.

#include "console/ConsoleUi.h"

void RunDecryptVerifyFile(ConsoleUi& ui);   // "DecryptVerifyFile"
void RunEncryptFile(ConsoleUi& ui);         // "EncryptFile"
void RunSignAndEncryptFile(ConsoleUi& ui);  // "SignAndEncryptFile"
void RunExtractFile(ConsoleUi& ui);         // "ExtractFile"
