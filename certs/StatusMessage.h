#pragma once
// The fixed message for every chain-trust status bit and every certificate
// HRESULT the console knows.

#include <cstdint>

namespace varnok {

// Message for `value`, looked up as a whole: a combination of trust bits or
// any value not in the table gives "Неизвестна грешка.". Never fails.
const wchar_t* StatusMessage(std::uint32_t value);

}  // namespace varnok
