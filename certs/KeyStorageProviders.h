#pragma once
// The names of the system's key storage providers (CNG).

#include <optional>
#include <string>
#include <vector>

namespace varnok {

// The providers' names in the system's order; nullopt when the system cannot
// list them.
std::optional<std::vector<std::wstring>> KeyStorageProviderNames();

// True when the process runs under Wine rather than on Windows.
bool RunningUnderWine();

}  // namespace varnok
