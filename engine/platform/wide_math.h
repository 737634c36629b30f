// Products of 64-bit sizes that may not fit 64 bits, worked out exactly with
// two 64-bit words, so that no compiler needs a 128-bit integer type.
#pragma once

#include <cstdint>

namespace tolvane::platform {

// floor(a * b / c) for a, b >= 0 and c > 0, the product taken without
// overflow. False when the result does not fit int64_t (or an argument is
// out of range).
inline bool MulDiv(int64_t a, int64_t b, int64_t c, int64_t* result) {
    if (a < 0 || b < 0 || c <= 0) return false;
    const uint64_t ua = static_cast<uint64_t>(a), ub = static_cast<uint64_t>(b);
    const uint64_t uc = static_cast<uint64_t>(c);
    // The 128-bit product as hi:lo, from 32-bit halves.
    const uint64_t a0 = ua & 0xFFFFFFFFu, a1 = ua >> 32, b0 = ub & 0xFFFFFFFFu, b1 = ub >> 32;
    const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
    const uint64_t lo = (p00 & 0xFFFFFFFFu) | (mid << 32);
    const uint64_t hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
    if (hi >= uc) return false;  // the quotient needs more than 64 bits
    // Long division of hi:lo by c, one bit at a time; the remainder stays
    // below c, and a bit shifted out of it means it exceeded c.
    uint64_t remainder = hi, quotient = 0;
    for (int bit = 63; bit >= 0; --bit) {
        const bool carry = (remainder >> 63) != 0;
        remainder = (remainder << 1) | ((lo >> bit) & 1u);
        quotient <<= 1;
        if (carry || remainder >= uc) {
            remainder -= uc;
            quotient |= 1u;
        }
    }
    if (quotient > static_cast<uint64_t>(INT64_MAX)) return false;
    *result = static_cast<int64_t>(quotient);
    return true;
}

}  // namespace tolvane::platform
