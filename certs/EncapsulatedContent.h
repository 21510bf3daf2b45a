#pragma once
// Whether a signed message (CMS SignedData in a ContentInfo, DER or BER)
// carries its content, read from the message's own structure: an enveloping
// signature over empty content and a detached signature both give the
// system's message functions no content bytes, and only the presence of the
// content element tells them apart.

#include <cstddef>
#include <cstdint>

namespace varnok {

// True when the message's encapsulated content info holds its content
// element (eContent, [0]), even an empty one. False when it does not, or
// when the bytes are no signed message of that outline.
bool CarriesEncapsulatedContent(const std::uint8_t* message, std::size_t size);

}  // namespace varnok
