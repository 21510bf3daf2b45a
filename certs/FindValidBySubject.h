#pragma once
// Picks the first certificate of a store whose subject contains a text and
// that is valid now.

#include <windows.h>

#include <wincrypt.h>

#include "certs/CryptoHandles.h"

namespace varnok {

enum class SubjectSearchOutcome {
  Found,      // `certificate` holds the first currently valid match
  NotFound,   // no certificate matches the text at all
  NoneValid,  // certificates match, but none is valid now
};

struct SubjectSearchResult {
  SubjectSearchOutcome outcome = SubjectSearchOutcome::NotFound;
  // The caller's own reference to the found certificate; empty otherwise.
  CertificateReference certificate;
};

// Searches `store` in its enumeration order for subjects containing
// `subjectText` (case-insensitive, as the system compares). Every candidate
// passed over is released. A null store counts as empty.
SubjectSearchResult FindValidBySubject(HCERTSTORE store, const wchar_t* subjectText);

}  // namespace varnok
