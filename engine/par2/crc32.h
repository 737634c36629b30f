// CRC-32 (the polynomial of zlib and Ethernet): the quick checksum of every
// slice in a recovery set.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tolvane::par2 {

// Continues a CRC-32: start with 0, feed the pieces in order.
uint32_t Crc32Update(uint32_t crc, const void* data, size_t length);
// The CRC-32 continued over count zero bytes.
uint32_t Crc32Zeros(uint32_t crc, uint64_t count);

}  // namespace tolvane::par2
