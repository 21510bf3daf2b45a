#pragma once
// The callback through which the library reports the certificates of a
// certificate-store listing, one record per certificate or error.

#include "console/TesselContract.h"

// Appends "Error: <description>" (error flag set) or "CertName: <name>;
// Thumbprint: <thumbprint>" as a line to the output pane of the console
// named by `userValue`, refreshes the pane and returns the refresh's result.
// Null texts count as empty; a user value without a console changes nothing
// and returns 0.
int __cdecl CertificateReportCallback(TesselUserValue userValue, TesselCertificateReport report);
