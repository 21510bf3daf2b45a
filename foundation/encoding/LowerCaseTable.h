// The upper-case/lower-case pairs that lowerCaseUnit's range rules leave to
// a table. Bucket b starts at kLowerCasePairs[kLowerCaseBucketStart[b]] and
// holds (upper, lower) pairs of units whose value modulo 100 is b, ended by
// a single zero.
#pragma once

#include <cstdint>

namespace rozazar::encoding {

constexpr int kLowerCaseBuckets = 100;
extern const std::uint16_t kLowerCasePairs[];
extern const std::uint16_t kLowerCaseBucketStart[kLowerCaseBuckets];

}  // namespace rozazar::encoding
