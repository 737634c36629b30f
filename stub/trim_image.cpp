// Drops the section header table (and the unloaded sections behind the last
// segment) from a 64-bit little-endian ELF program, in place. Nothing that
// runs a program reads them; the stub area that the image must fit has no
// room to spare for them.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

uint64_t Get(const std::vector<char>& b, size_t at, int width) {
    uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
    return v;
}

void Put(std::vector<char>& b, size_t at, int width, uint64_t v) {
    for (int i = 0; i < width; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::vector<char> image;
    {
        std::ifstream in(argv[1], std::ios::binary);
        image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (image.size() < 64 || std::memcmp(image.data(),
                                         "\x7f"
                                         "ELF\x02\x01",
                                         6) != 0) {
        std::fprintf(stderr, "%s: not a 64-bit little-endian ELF file\n", argv[1]);
        return 1;
    }
    const uint64_t phoff = Get(image, 32, 8), phentsize = Get(image, 54, 2),
                   phnum = Get(image, 56, 2);
    if (phentsize < 56 || phoff + phnum * phentsize > image.size()) return 1;
    uint64_t end = phoff + phnum * phentsize;
    for (uint64_t i = 0; i < phnum; ++i) {
        const size_t p = phoff + i * phentsize;
        const uint64_t segmentEnd = Get(image, p + 8, 8) + Get(image, p + 32, 8);
        if (segmentEnd > image.size()) return 1;
        if (segmentEnd > end) end = segmentEnd;
    }
    Put(image, 40, 8, 0);  // e_shoff
    Put(image, 60, 2, 0);  // e_shnum
    Put(image, 62, 2, 0);  // e_shstrndx
    image.resize(end);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
    return out ? 0 : 1;
}
