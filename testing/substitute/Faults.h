#pragma once
// The ways the substitute library can fail on purpose, for testing the
// console's guard around library calls.

#include <string>

namespace tessel_substitute {

// Performs the fault named `kind`: "null-write", "read-unmapped",
// "execute-data", "divide-by-zero", "stack-overflow" and "foreign-exception"
// (a C++ exception of another compiler's runtime) do not return;
// "handled-exception" raises exceptions and handles them itself, then
// returns. Returns false for an unknown kind.
bool CommitFault(const std::string& kind);

}  // namespace tessel_substitute
