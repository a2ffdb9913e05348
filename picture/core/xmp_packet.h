#pragma once

#include "picture_metadata.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace picture {

// The XMP APP1 segment starts with this, its terminating zero included.
inline constexpr char kXmpSignature[] = "http://ns.adobe.com/xap/1.0/";
inline constexpr size_t kXmpSignatureSize = sizeof kXmpSignature;

// The APP1 payload (signature and packet) holding the scale, slot and
// camera of `metadata` in this program's own namespace.
std::vector<uint8_t> xmpPayload(const PictureMetadata& metadata);

// Fills the scale, slot and camera of `metadata` from an XMP packet (the
// payload after the signature). False when the packet is not well formed or
// holds none of them; a scale that does not add up is left out.
bool readXmpPacket(const uint8_t* packet, size_t size, PictureMetadata& metadata);

}  // namespace picture
