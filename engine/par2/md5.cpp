#include "engine/par2/md5.h"

#include <algorithm>
#include <cstring>

namespace tolvane::par2 {
namespace {

constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

inline uint32_t Rotl(uint32_t x, int c) {
    return (x << c) | (x >> (32 - c));
}

inline uint32_t LoadLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

#define TOLVANE_MD5_STEP(f, a, b, c, d, k, s, i) a = b + Rotl(a + (f) + x[k] + kSine[i], s)

}  // namespace

void Md5::Transform(const uint8_t* block) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = LoadLe32(block + 4 * i);
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    // Rounds unrolled by hand: the hash of every volume byte runs through here.
    for (int i = 0; i < 16; i += 4) {
        TOLVANE_MD5_STEP((b & c) | (~b & d), a, b, c, d, i, 7, i);
        TOLVANE_MD5_STEP((a & b) | (~a & c), d, a, b, c, i + 1, 12, i + 1);
        TOLVANE_MD5_STEP((d & a) | (~d & b), c, d, a, b, i + 2, 17, i + 2);
        TOLVANE_MD5_STEP((c & d) | (~c & a), b, c, d, a, i + 3, 22, i + 3);
    }
    for (int i = 16; i < 32; i += 4) {
        TOLVANE_MD5_STEP((b & d) | (c & ~d), a, b, c, d, (5 * i + 1) % 16, 5, i);
        TOLVANE_MD5_STEP((a & c) | (b & ~c), d, a, b, c, (5 * i + 6) % 16, 9, i + 1);
        TOLVANE_MD5_STEP((d & b) | (a & ~b), c, d, a, b, (5 * i + 11) % 16, 14, i + 2);
        TOLVANE_MD5_STEP((c & a) | (d & ~a), b, c, d, a, (5 * i + 16) % 16, 20, i + 3);
    }
    for (int i = 32; i < 48; i += 4) {
        TOLVANE_MD5_STEP(b ^ c ^ d, a, b, c, d, (3 * i + 5) % 16, 4, i);
        TOLVANE_MD5_STEP(a ^ b ^ c, d, a, b, c, (3 * i + 8) % 16, 11, i + 1);
        TOLVANE_MD5_STEP(d ^ a ^ b, c, d, a, b, (3 * i + 11) % 16, 16, i + 2);
        TOLVANE_MD5_STEP(c ^ d ^ a, b, c, d, a, (3 * i + 14) % 16, 23, i + 3);
    }
    for (int i = 48; i < 64; i += 4) {
        TOLVANE_MD5_STEP(c ^ (b | ~d), a, b, c, d, (7 * i) % 16, 6, i);
        TOLVANE_MD5_STEP(b ^ (a | ~c), d, a, b, c, (7 * i + 7) % 16, 10, i + 1);
        TOLVANE_MD5_STEP(a ^ (d | ~b), c, d, a, b, (7 * i + 14) % 16, 15, i + 2);
        TOLVANE_MD5_STEP(d ^ (c | ~a), b, c, d, a, (7 * i + 21) % 16, 21, i + 3);
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

#undef TOLVANE_MD5_STEP

void Md5::Update(const void* data, size_t length) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    size_t used = static_cast<size_t>(length_ % 64);
    length_ += length;
    if (used != 0) {
        const size_t take = std::min<size_t>(64 - used, length);
        std::memcpy(buffer_ + used, p, take);
        p += take;
        length -= take;
        if (used + take < 64) return;
        Transform(buffer_);
    }
    while (length >= 64) {
        Transform(p);
        p += 64;
        length -= 64;
    }
    std::memcpy(buffer_, p, length);
}

void Md5::UpdateZeros(uint64_t count) {
    static const uint8_t kZeros[4096] = {};
    while (count > 0) {
        const size_t take = static_cast<size_t>(std::min<uint64_t>(count, sizeof kZeros));
        Update(kZeros, take);
        count -= take;
    }
}

Md5Digest Md5::Final() const {
    Md5 copy = *this;
    uint8_t tail[72] = {0x80};
    const size_t used = static_cast<size_t>(length_ % 64);
    const size_t pad = used < 56 ? 56 - used : 120 - used;
    const uint64_t bits = length_ * 8;
    for (int i = 0; i < 8; ++i) tail[pad + i] = static_cast<uint8_t>(bits >> (8 * i));
    copy.Update(tail, pad + 8);
    Md5Digest digest;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = static_cast<uint8_t>(copy.state_[i] >> (8 * j));
    }
    return digest;
}

Md5Digest Md5Of(const void* data, size_t length) {
    Md5 md5;
    md5.Update(data, length);
    return md5.Final();
}

}  // namespace tolvane::par2
