// MD5 (RFC 1321): the checksum of every recovery packet, file and slice.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tolvane::par2 {

using Md5Digest = std::array<uint8_t, 16>;

class Md5 {
  public:
    void Update(const void* data, size_t length);
    // Appends count zero bytes (the padding of a short last slice).
    void UpdateZeros(uint64_t count);
    // The digest of everything given so far; the context stays usable and
    // unchanged, so a running hash can be read at any point.
    Md5Digest Final() const;
    uint64_t length() const { return length_; }

  private:
    void Transform(const uint8_t* block);

    uint32_t state_[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    uint8_t buffer_[64] = {};
    uint64_t length_ = 0;
};

Md5Digest Md5Of(const void* data, size_t length);

}  // namespace tolvane::par2
