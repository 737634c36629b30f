#include "engine/par2/galois.h"

#include <array>
#include <bit>
#include <cstring>
#include <vector>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define TOLVANE_GF_X86 1
#include <immintrin.h>
#endif

namespace tolvane::par2::gf {
namespace {

struct Tables {
    std::vector<uint16_t> log = std::vector<uint16_t>(65536);
    std::vector<uint16_t> antilog = std::vector<uint16_t>(65536);
    Tables() {
        uint32_t b = 1;
        for (uint32_t l = 0; l < kLimit; ++l) {
            log[b] = static_cast<uint16_t>(l);
            antilog[l] = static_cast<uint16_t>(b);
            b <<= 1;
            if (b & 0x10000) b ^= kPolynomial;
        }
        log[0] = static_cast<uint16_t>(kLimit);  // never used: 0 is handled apart
        antilog[kLimit] = 1;
    }
};

const Tables& TheTables() {
    static const Tables tables;
    return tables;
}

uint32_t Gcd(uint32_t a, uint32_t b) {
    while (b != 0) {
        const uint32_t t = a % b;
        a = b;
        b = t;
    }
    return a;
}

}  // namespace

uint16_t Multiply(uint16_t a, uint16_t b) {
    if (a == 0 || b == 0) return 0;
    const Tables& t = TheTables();
    uint32_t sum = uint32_t(t.log[a]) + t.log[b];
    if (sum >= kLimit) sum -= kLimit;
    return t.antilog[sum];
}

uint16_t Divide(uint16_t a, uint16_t b) {
    if (a == 0 || b == 0) return 0;
    const Tables& t = TheTables();
    int32_t diff = int32_t(t.log[a]) - t.log[b];
    if (diff < 0) diff += kLimit;
    return t.antilog[diff];
}

uint16_t Power(uint16_t a, uint32_t n) {
    if (n == 0) return 1;
    if (a == 0) return 0;
    const Tables& t = TheTables();
    const uint64_t l = (uint64_t(t.log[a]) * n) % kLimit;
    return t.antilog[l];
}

uint16_t InputConstant(uint32_t index) {
    static const std::vector<uint16_t> constants = [] {
        std::vector<uint16_t> c;
        for (uint32_t l = 1; l < kLimit; ++l) {
            if (Gcd(kLimit, l) == 1) c.push_back(TheTables().antilog[l]);
        }
        return c;
    }();
    return index < constants.size() ? constants[index] : 0;
}

namespace {

// factor * 2^b for b = 0..15: every product is the sum (XOR) of those whose
// bits are set in the other operand.
void Basis(uint16_t factor, uint16_t basis[16]) {
    uint32_t p = factor;
    for (int b = 0; b < 16; ++b) {
        basis[b] = static_cast<uint16_t>(p);
        p <<= 1;
        if (p & 0x10000) p ^= kPolynomial;
    }
}

// table[v] = factor * (v << shift) for v below 2^bits, from the basis.
template <typename T>
void SpanTable(const uint16_t basis[16], int shift, int bits, T* table, bool highByte) {
    uint16_t products[256];
    products[0] = 0;
    for (int v = 1; v < (1 << bits); ++v) {
        const int low = v & -v;
        products[v] =
            products[v ^ low] ^ basis[shift + std::countr_zero(static_cast<unsigned>(low))];
    }
    for (int v = 0; v < (1 << bits); ++v) {
        table[v] = static_cast<T>(
            sizeof(T) == 1 ? (highByte ? products[v] >> 8 : products[v] & 0xff) : products[v]);
    }
}

}  // namespace

void MultiplyAddPortable(uint8_t* dst, const uint8_t* src, size_t bytes, uint16_t factor) {
    if (factor == 0) return;
    // factor * w = low[w & 0xff] ^ high[w >> 8]
    uint16_t basis[16];
    Basis(factor, basis);
    uint16_t low[256], high[256];
    SpanTable(basis, 0, 8, low, false);
    SpanTable(basis, 8, 8, high, false);
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        const uint16_t p = low[src[i]] ^ high[src[i + 1]];
        dst[i] ^= static_cast<uint8_t>(p);
        dst[i + 1] ^= static_cast<uint8_t>(p >> 8);
    }
}

#ifdef TOLVANE_GF_X86
namespace {

// Sixteen-entry tables per nibble of a word: the low and the high byte of
// factor * (v << 4q), for pshufb.
struct NibbleTables {
    alignas(32) uint8_t low[4][16];
    alignas(32) uint8_t high[4][16];
    explicit NibbleTables(uint16_t factor) {
        uint16_t basis[16];
        Basis(factor, basis);
        for (int q = 0; q < 4; ++q) {
            SpanTable(basis, 4 * q, 4, low[q], false);
            SpanTable(basis, 4 * q, 4, high[q], true);
        }
    }
};

__attribute__((target("avx2"))) size_t MultiplyAddAvx2(uint8_t* dst, const uint8_t* src,
                                                       size_t bytes, const NibbleTables& nt) {
    __m256i tl[4], th[4];
    for (int q = 0; q < 4; ++q) {
        tl[q] = _mm256_broadcastsi128_si256(
            _mm_load_si128(reinterpret_cast<const __m128i*>(nt.low[q])));
        th[q] = _mm256_broadcastsi128_si256(
            _mm_load_si128(reinterpret_cast<const __m128i*>(nt.high[q])));
    }
    const __m256i byteMask = _mm256_set1_epi16(0x00ff);
    const __m256i nibble = _mm256_set1_epi8(0x0f);
    size_t i = 0;
    for (; i + 64 <= bytes; i += 64) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 32));
        const __m256i lo =
            _mm256_packus_epi16(_mm256_and_si256(a, byteMask), _mm256_and_si256(b, byteMask));
        const __m256i hi = _mm256_packus_epi16(_mm256_srli_epi16(a, 8), _mm256_srli_epi16(b, 8));
        const __m256i n0 = _mm256_and_si256(lo, nibble);
        const __m256i n1 = _mm256_and_si256(_mm256_srli_epi16(lo, 4), nibble);
        const __m256i n2 = _mm256_and_si256(hi, nibble);
        const __m256i n3 = _mm256_and_si256(_mm256_srli_epi16(hi, 4), nibble);
        const __m256i rl = _mm256_xor_si256(
            _mm256_xor_si256(_mm256_shuffle_epi8(tl[0], n0), _mm256_shuffle_epi8(tl[1], n1)),
            _mm256_xor_si256(_mm256_shuffle_epi8(tl[2], n2), _mm256_shuffle_epi8(tl[3], n3)));
        const __m256i rh = _mm256_xor_si256(
            _mm256_xor_si256(_mm256_shuffle_epi8(th[0], n0), _mm256_shuffle_epi8(th[1], n1)),
            _mm256_xor_si256(_mm256_shuffle_epi8(th[2], n2), _mm256_shuffle_epi8(th[3], n3)));
        __m256i* da = reinterpret_cast<__m256i*>(dst + i);
        __m256i* db = reinterpret_cast<__m256i*>(dst + i + 32);
        _mm256_storeu_si256(da,
                            _mm256_xor_si256(_mm256_loadu_si256(da), _mm256_unpacklo_epi8(rl, rh)));
        _mm256_storeu_si256(db,
                            _mm256_xor_si256(_mm256_loadu_si256(db), _mm256_unpackhi_epi8(rl, rh)));
    }
    return i;
}

__attribute__((target("ssse3"))) size_t MultiplyAddSsse3(uint8_t* dst, const uint8_t* src,
                                                         size_t bytes, const NibbleTables& nt) {
    __m128i tl[4], th[4];
    for (int q = 0; q < 4; ++q) {
        tl[q] = _mm_load_si128(reinterpret_cast<const __m128i*>(nt.low[q]));
        th[q] = _mm_load_si128(reinterpret_cast<const __m128i*>(nt.high[q]));
    }
    const __m128i byteMask = _mm_set1_epi16(0x00ff);
    const __m128i nibble = _mm_set1_epi8(0x0f);
    size_t i = 0;
    for (; i + 32 <= bytes; i += 32) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 16));
        const __m128i lo = _mm_packus_epi16(_mm_and_si128(a, byteMask), _mm_and_si128(b, byteMask));
        const __m128i hi = _mm_packus_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8));
        const __m128i n0 = _mm_and_si128(lo, nibble);
        const __m128i n1 = _mm_and_si128(_mm_srli_epi16(lo, 4), nibble);
        const __m128i n2 = _mm_and_si128(hi, nibble);
        const __m128i n3 = _mm_and_si128(_mm_srli_epi16(hi, 4), nibble);
        const __m128i rl =
            _mm_xor_si128(_mm_xor_si128(_mm_shuffle_epi8(tl[0], n0), _mm_shuffle_epi8(tl[1], n1)),
                          _mm_xor_si128(_mm_shuffle_epi8(tl[2], n2), _mm_shuffle_epi8(tl[3], n3)));
        const __m128i rh =
            _mm_xor_si128(_mm_xor_si128(_mm_shuffle_epi8(th[0], n0), _mm_shuffle_epi8(th[1], n1)),
                          _mm_xor_si128(_mm_shuffle_epi8(th[2], n2), _mm_shuffle_epi8(th[3], n3)));
        __m128i* da = reinterpret_cast<__m128i*>(dst + i);
        __m128i* db = reinterpret_cast<__m128i*>(dst + i + 16);
        _mm_storeu_si128(da, _mm_xor_si128(_mm_loadu_si128(da), _mm_unpacklo_epi8(rl, rh)));
        _mm_storeu_si128(db, _mm_xor_si128(_mm_loadu_si128(db), _mm_unpackhi_epi8(rl, rh)));
    }
    return i;
}

enum class Kernel { Portable, Ssse3, Avx2 };

Kernel ChosenKernel() {
    static const Kernel kernel = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx2")) return Kernel::Avx2;
        if (__builtin_cpu_supports("ssse3")) return Kernel::Ssse3;
        return Kernel::Portable;
    }();
    return kernel;
}

}  // namespace

void MultiplyAdd(uint8_t* dst, const uint8_t* src, size_t bytes, uint16_t factor) {
    if (factor == 0) return;
    const Kernel kernel = ChosenKernel();
    if (kernel == Kernel::Portable || bytes < 64) {
        MultiplyAddPortable(dst, src, bytes, factor);
        return;
    }
    const NibbleTables tables(factor);
    const size_t done = kernel == Kernel::Avx2 ? MultiplyAddAvx2(dst, src, bytes, tables)
                                               : MultiplyAddSsse3(dst, src, bytes, tables);
    if (done < bytes) MultiplyAddPortable(dst + done, src + done, bytes - done, factor);
}

const char* KernelName() {
    switch (ChosenKernel()) {
        case Kernel::Avx2:
            return "avx2";
        case Kernel::Ssse3:
            return "ssse3";
        default:
            return "portable";
    }
}

#else

void MultiplyAdd(uint8_t* dst, const uint8_t* src, size_t bytes, uint16_t factor) {
    MultiplyAddPortable(dst, src, bytes, factor);
}

const char* KernelName() {
    return "portable";
}

#endif

}  // namespace tolvane::par2::gf
