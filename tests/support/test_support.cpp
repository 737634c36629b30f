#include "tests/support/test_support.h"

#include <random>
#include <stdexcept>

#include "engine/robot_image.h"

namespace tolvane::test {

std::string RandomBytes(size_t count, uint32_t seed) {
    std::mt19937 rng(seed);
    std::string s(count, '\0');
    for (auto& c : s) c = static_cast<char>(rng() & 0xFF);
    return s;
}

std::string RobotImage(size_t count, uint32_t seed) {
    // ELF64 header: one program header right behind it, no sections.
    std::string image = {'\x7f', 'E', 'L', 'F', 2, 1, 1, 0};
    image.resize(16, '\0');
    const auto put = [&image](size_t at, uint64_t value, int width) {
        if (image.size() < at + width) image.resize(at + width, '\0');
        for (int i = 0; i < width; ++i) image[at + i] = static_cast<char>(value >> (8 * i));
    };
    put(16, 2, 2);     // an executable
    put(18, 0x3E, 2);  // x86-64
    put(20, 1, 4);
    put(32, 64, 8);  // program headers at 64
    put(52, 64, 2);
    put(54, 56, 2);  // one of 56 bytes
    put(56, 1, 2);
    put(58, 64, 2);
    put(64, 1, 4);         // a loadable segment
    put(64 + 32, 120, 8);  // of the headers' 120 bytes
    put(64 + 40, 120, 8);
    image.resize(120, '\0');
    image += kRobotImageMarker;
    if (image.size() < count) image += RandomBytes(count - image.size(), seed);
    image.resize(count, '\0');
    return image;
}

}  // namespace tolvane::test
