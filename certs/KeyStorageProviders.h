#pragma once
// The names of the system's key storage providers (CNG).

#include <optional>
#include <string>
#include <vector>

namespace varnok {

// The providers' names in the system's order; nullopt when the system cannot
// list them.
std::optional<std::vector<std::wstring>> KeyStorageProviderNames();

}  // namespace varnok
