// Arithmetic in GF(2^16) with the generator polynomial 0x1100B, the field of
// the recovery data's Reed-Solomon code, and the multiply-accumulate that
// computes recovery slices from input slices.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tolvane::par2::gf {

inline constexpr uint32_t kPolynomial = 0x1100B;
// Order of the multiplicative group.
inline constexpr uint32_t kLimit = 65535;

uint16_t Multiply(uint16_t a, uint16_t b);
// a / b; b must not be 0.
uint16_t Divide(uint16_t a, uint16_t b);
// a to the power n.
uint16_t Power(uint16_t a, uint32_t n);

// The constant of input slice number index (0-based, over all slices of the
// set in file order): 2 to the power of the index-th exponent that has no
// factor in common with 65535. 0 when index is out of range (over 32767).
uint16_t InputConstant(uint32_t index);

// dst ^= factor * src, both read as little-endian 16-bit words; bytes must be
// even. Uses the widest vector unit the processor offers.
void MultiplyAdd(uint8_t* dst, const uint8_t* src, size_t bytes, uint16_t factor);
// The same without vector units: the reference the fast kernels are tested
// against.
void MultiplyAddPortable(uint8_t* dst, const uint8_t* src, size_t bytes, uint16_t factor);
// Name of the kernel MultiplyAdd uses ("avx2", "ssse3" or "portable").
const char* KernelName();

}  // namespace tolvane::par2::gf
