// The character-set names the foundation knows: one canonical name per code
// page, and the longer list of names and aliases accepted on input.
#pragma once

#include <cstddef>

namespace rozazar::encoding {

struct CharsetName {
  const char* name;
  int codePage;
};

// Code page number to its canonical name (the first row for a number wins).
extern const CharsetName kCanonicalCharsets[];
extern const std::size_t kCanonicalCharsetCount;

// Accepted names in their normalised form (lower case, "-" for "_"),
// canonical names included.
extern const CharsetName kCharsetAliases[];
extern const std::size_t kCharsetAliasCount;

}  // namespace rozazar::encoding
