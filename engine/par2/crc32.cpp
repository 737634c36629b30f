#include "engine/par2/crc32.h"

#include <array>

namespace tolvane::par2 {
namespace {

// Eight tables: eight bytes per step ("slicing by 8").
struct Tables {
    std::array<std::array<uint32_t, 256>, 8> t{};
    Tables() {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (uint32_t i = 0; i < 256; ++i) {
            for (int s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xff];
        }
    }
};

const Tables& TheTables() {
    static const Tables tables;
    return tables;
}

}  // namespace

uint32_t Crc32Update(uint32_t crc, const void* data, size_t length) {
    const auto& t = TheTables().t;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    uint32_t c = ~crc;
    while (length >= 8) {
        const uint32_t lo = c ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                 uint32_t(p[3]) << 24);
        c = t[7][lo & 0xff] ^ t[6][(lo >> 8) & 0xff] ^ t[5][(lo >> 16) & 0xff] ^ t[4][lo >> 24] ^
            t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
        p += 8;
        length -= 8;
    }
    while (length-- > 0) c = t[0][(c ^ *p++) & 0xff] ^ (c >> 8);
    return ~c;
}

uint32_t Crc32Zeros(uint32_t crc, uint64_t count) {
    static const uint8_t kZeros[4096] = {};
    while (count > 0) {
        const size_t take = static_cast<size_t>(count < sizeof kZeros ? count : sizeof kZeros);
        crc = Crc32Update(crc, kZeros, take);
        count -= take;
    }
    return crc;
}

}  // namespace tolvane::par2
