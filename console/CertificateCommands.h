#pragma once
// The certificate commands: select a certificate (from a JSON parameter text
// or through the buffer export, in two forms), describe a certificate file,
// and list the certificates of the system's Microsoft key storage providers.
// Each runs the library call protocol with its export.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "console/ConsoleUi.h"

// ATesselSelectCertificateJson with the JSON pane's object; an empty pane
// gives {"Store":"My"} when the certificate-from-Windows box is checked,
// else {"Filename":<file>} with a certificate file the user picks.
void RunSelectCertificateJson(ConsoleUi& ui);

// ATesselSelectCertificate with four buffers of 301 characters; shows the
// first (the common name) as a line.
void RunSelectCertificate(ConsoleUi& ui);

// ATesselSelectCertificate with four buffers of 500 characters; shows all
// four after their labels on one line.
void RunSelectCertificateOld(ConsoleUi& ui);

// ATesselCertInfoJson with {"Filename":<file>} for a certificate file the
// user picks.
void RunCertInfo(ConsoleUi& ui);

// The names of the system's key storage providers in the system's order;
// nullopt when they cannot be listed.
using KeyStorageProviderSource = std::function<std::optional<std::vector<std::wstring>>()>;

// ATesselCertStoreInfo for each key storage provider whose name contains
// "Microsoft" and not "Smart", each preceded by the provider's name as a
// line. The first form lists the system's providers.
void RunCertStoreInfoCng(ConsoleUi& ui);
void RunCertStoreInfoCng(ConsoleUi& ui, const KeyStorageProviderSource& providers);
