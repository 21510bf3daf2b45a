#pragma once
// The sizes the certificate services announce in the chain and policy
// records they hand to the chain engine. Each is the size of the record's
// fields up to the last one used, whatever extra fields a header version
// adds after them: on x86 the chain parameters are 16 bytes, the policy
// parameters 12 and the policy status 20; x64 widens the pointers in them.

#include <windows.h>
// After windows.h, which leaves it out under WIN32_LEAN_AND_MEAN.
#include <wincrypt.h>

#include <cstddef>

namespace varnok {

// CERT_CHAIN_PARA with its size and requested usage only.
inline constexpr DWORD kChainParaUsageOnlySize =
    offsetof(CERT_CHAIN_PARA, RequestedUsage) + sizeof(CERT_USAGE_MATCH);
inline constexpr DWORD kPolicyParaSize = sizeof(CERT_CHAIN_POLICY_PARA);
inline constexpr DWORD kPolicyStatusSize = sizeof(CERT_CHAIN_POLICY_STATUS);

static_assert(sizeof(void*) != 4 || kChainParaUsageOnlySize == 16,
              "the usage-only chain parameters are 16 bytes on x86");
static_assert(sizeof(void*) != 4 || kPolicyParaSize == 12, "policy parameters are 12 bytes on x86");
static_assert(sizeof(void*) != 4 || kPolicyStatusSize == 20, "policy status is 20 bytes on x86");
static_assert(sizeof(void*) != 8 || (kChainParaUsageOnlySize == 32 && kPolicyParaSize == 16 &&
                                     kPolicyStatusSize == 24),
              "x64 widens the pointers of the chain and policy records");

}  // namespace varnok
