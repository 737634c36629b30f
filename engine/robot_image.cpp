#include "engine/robot_image.h"

#include <algorithm>
#include <cstring>

#include "engine/archive_set.h"

namespace tolvane {
namespace {

// Bounds-checked little- or big-endian reads of an image.
class Bytes {
  public:
    Bytes(const std::vector<char>& data, bool bigEndian) : data_(data), bigEndian_(bigEndian) {}
    uint64_t size() const { return data_.size(); }
    // False when the field lies beyond the image.
    bool Read(uint64_t offset, int width, uint64_t* value) const {
        if (offset > size() || static_cast<uint64_t>(width) > size() - offset) return false;
        uint64_t v = 0;
        for (int i = 0; i < width; ++i) {
            const int at = bigEndian_ ? i : width - 1 - i;
            v = (v << 8) | static_cast<uint8_t>(data_[offset + at]);
        }
        *value = v;
        return true;
    }
    // True when [offset, offset + length) lies within the image.
    bool Holds(uint64_t offset, uint64_t length) const {
        return offset <= size() && length <= size() - offset;
    }

  private:
    const std::vector<char>& data_;
    bool bigEndian_;
};

// An ELF executable whose program headers, segments, section headers and
// sections all lie within the image.
bool IsWholeElf(const std::vector<char>& image) {
    constexpr char kElfMagic[4] = {0x7f, 'E', 'L', 'F'};
    if (image.size() < 52 || std::memcmp(image.data(), kElfMagic, 4) != 0) return false;
    const int elfClass = image[4];
    const int data = image[5];
    if ((elfClass != 1 && elfClass != 2) || (data != 1 && data != 2)) return false;
    const bool wide = elfClass == 2;
    const Bytes b(image, data == 2);
    const int word = wide ? 8 : 4;
    uint64_t phoff = 0, shoff = 0, phentsize = 0, phnum = 0, shentsize = 0, shnum = 0;
    const uint64_t at = wide ? 32 : 28;
    if (!b.Read(at, word, &phoff) || !b.Read(at + word, word, &shoff) ||
        !b.Read(at + 2 * word + 6, 2, &phentsize) || !b.Read(at + 2 * word + 8, 2, &phnum) ||
        !b.Read(at + 2 * word + 10, 2, &shentsize) || !b.Read(at + 2 * word + 12, 2, &shnum)) {
        return false;
    }
    const uint64_t minPhent = wide ? 56 : 32;
    const uint64_t minShent = wide ? 64 : 40;
    if (phnum == 0 || phentsize < minPhent || !b.Holds(phoff, phnum * phentsize)) return false;
    for (uint64_t i = 0; i < phnum; ++i) {
        const uint64_t p = phoff + i * phentsize;
        uint64_t offset = 0, fileSize = 0;
        if (!b.Read(p + (wide ? 8 : 4), word, &offset) ||
            !b.Read(p + (wide ? 32 : 16), word, &fileSize) || !b.Holds(offset, fileSize)) {
            return false;
        }
    }
    if (shnum == 0) return true;
    if (shentsize < minShent || !b.Holds(shoff, shnum * shentsize)) return false;
    constexpr uint64_t kNoBits = 8;  // a section that takes no bytes of the file
    for (uint64_t i = 0; i < shnum; ++i) {
        const uint64_t s = shoff + i * shentsize;
        uint64_t type = 0, offset = 0, size = 0;
        if (!b.Read(s + 4, 4, &type) || !b.Read(s + (wide ? 24 : 16), word, &offset) ||
            !b.Read(s + (wide ? 32 : 20), word, &size)) {
            return false;
        }
        if (type != kNoBits && !b.Holds(offset, size)) return false;
    }
    return true;
}

// A PE image whose headers, sections and symbol table lie within the image.
bool IsWholePe(const std::vector<char>& image) {
    if (image.size() < 64 || image[0] != 'M' || image[1] != 'Z') return false;
    const Bytes b(image, false);
    uint64_t pe = 0;
    if (!b.Read(0x3C, 4, &pe) || !b.Holds(pe, 24) || std::memcmp(&image[pe], "PE\0\0", 4) != 0) {
        return false;
    }
    uint64_t sections = 0, symbols = 0, symbolCount = 0, optionalSize = 0, magic = 0,
             headersSize = 0;
    if (!b.Read(pe + 6, 2, &sections) || !b.Read(pe + 12, 4, &symbols) ||
        !b.Read(pe + 16, 4, &symbolCount) || !b.Read(pe + 20, 2, &optionalSize) ||
        !b.Read(pe + 24, 2, &magic) || !b.Read(pe + 24 + 60, 4, &headersSize)) {
        return false;
    }
    if ((magic != 0x10B && magic != 0x20B) || optionalSize < 64 || sections == 0) return false;
    const uint64_t table = pe + 24 + optionalSize;
    if (!b.Holds(table, sections * 40) || !b.Holds(0, headersSize)) return false;
    for (uint64_t i = 0; i < sections; ++i) {
        uint64_t rawSize = 0, rawOffset = 0;
        if (!b.Read(table + i * 40 + 16, 4, &rawSize) ||
            !b.Read(table + i * 40 + 20, 4, &rawOffset)) {
            return false;
        }
        if (rawSize != 0 && !b.Holds(rawOffset, rawSize)) return false;
    }
    // A symbol table of 18-byte entries, followed by its string table, whose
    // first four bytes give its length (themselves included).
    if (symbols == 0) return true;
    uint64_t names = 0;
    const uint64_t stringTable = symbols + symbolCount * 18;
    return b.Read(stringTable, 4, &names) && names >= 4 && b.Holds(stringTable, names);
}

bool HasMarker(const std::vector<char>& image) {
    const char* begin = kRobotImageMarker;
    const char* end = begin + sizeof kRobotImageMarker - 1;
    return std::search(image.begin(), image.end(), begin, end) != image.end();
}

}  // namespace

bool IsRobotImage(const std::vector<char>& image) {
    if (image.empty() || static_cast<int64_t>(image.size()) > kStubAreaSize) return false;
    return (IsWholeElf(image) || IsWholePe(image)) && HasMarker(image);
}

RobotImageStatus ReadRobotImage(platform::FileSystem& fs, const std::string& path,
                                std::vector<char>* image) {
    auto file = fs.Open(path, platform::OpenMode::Read);
    if (!file) return RobotImageStatus::Missing;
    image->assign(kStubAreaSize + 1, 0);
    const int64_t n = file->Read(image->data(), kStubAreaSize + 1);
    if (n <= 0) return RobotImageStatus::Damaged;
    image->resize(static_cast<size_t>(n));
    return IsRobotImage(*image) ? RobotImageStatus::Ok : RobotImageStatus::Damaged;
}

}  // namespace tolvane
