#include "engine/volume_header.h"

#include <cstdio>
#include <cstring>

namespace tolvane {
namespace {

// Windows-1252 code points of the bytes 0x80-0x9F; the five bytes the code
// page leaves undefined map to the C1 controls of the same value.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Cp1252ToCodePoint(uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kCp1252High[byte - 0x80];
    return byte;
}

// -1 when the code point has no Windows-1252 byte.
int CodePointToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == cp) return 0x80 + i;
    }
    return -1;
}

void AppendUtf8(std::string* out, char32_t cp) {
    if (cp < 0x80) {
        out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes strict UTF-8 into code points; false on any invalid sequence.
bool DecodeUtf8(const std::string& s, std::u32string* out, bool* hasMultiByte) {
    *hasMultiByte = false;
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<uint8_t>(s[i]);
        if (c < 0x80) {
            out->push_back(c);
            ++i;
            continue;
        }
        int extra = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if ((c & 0xE0) == 0xC0) {
            extra = 1, cp = c & 0x1F, minimum = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, cp = c & 0x0F, minimum = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, cp = c & 0x07, minimum = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto cc = static_cast<uint8_t>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        out->push_back(cp);
        *hasMultiByte = true;
        i += extra + 1;
    }
    return true;
}

// A decimal text exactly as the writer puts it: optional "-", then 1 to 19
// digits without a leading zero (a lone "0" aside; no "-0"), within int64_t,
// ending at a 0 byte inside the data. Any other spelling would make the
// header's length differ from the one the reader derives from the value.
// Returns the bytes used (0 byte included), or 0.
size_t ParseDecimal(const uint8_t* data, size_t length, int64_t* value) {
    size_t i = 0;
    bool negative = false;
    if (i < length && data[i] == '-') {
        negative = true;
        ++i;
    }
    const size_t firstDigit = i;
    unsigned long long magnitude = 0;
    while (i < length && data[i] >= '0' && data[i] <= '9') {
        if (i - firstDigit >= 19) return 0;
        magnitude = magnitude * 10 + (data[i] - '0');
        ++i;
    }
    if (i == firstDigit || i >= length || data[i] != 0) return 0;
    if (data[firstDigit] == '0' && (i - firstDigit > 1 || negative)) return 0;
    if (magnitude > static_cast<unsigned long long>(INT64_MAX)) return 0;
    *value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return i + 1;
}

// Exactly four digits.
bool ParseSlot(const uint8_t* p, int* value) {
    int v = 0;
    for (int i = 0; i < 4; ++i) {
        if (p[i] < '0' || p[i] > '9') return false;
        v = v * 10 + (p[i] - '0');
    }
    *value = v;
    return true;
}

bool IsAcceptableName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

void AppendTimeRecord(std::string* out, const platform::SystemTime& t) {
    const uint16_t fields[] = {t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second};
    out->push_back(static_cast<char>(t.year & 0xFF));
    out->push_back(static_cast<char>(t.year >> 8));
    for (uint16_t f : fields) out->push_back(static_cast<char>(f & 0xFF));
    out->push_back(static_cast<char>(t.milliseconds & 0xFF));
    out->push_back(static_cast<char>(t.milliseconds >> 8));
    out->push_back('\0');
}

platform::SystemTime ParseTimeRecord(const uint8_t* p) {
    platform::SystemTime t;
    t.year = static_cast<uint16_t>(p[0] + 256 * p[1]);
    t.month = p[2];
    t.dayOfWeek = p[3];
    t.day = p[4];
    t.hour = p[5];
    t.minute = p[6];
    t.second = p[7];
    t.milliseconds = static_cast<uint16_t>(p[8] + 256 * p[9]);
    return t;
}

}  // namespace

int DecimalLength(int64_t value) {
    int digits = value < 0 ? 2 : 1;
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    while (magnitude >= 10) {
        magnitude /= 10;
        ++digits;
    }
    return digits;
}

std::string EncodeHeaderName(const std::string& utf8Name) {
    std::u32string cps;
    bool multi = false;
    if (!DecodeUtf8(utf8Name, &cps, &multi)) return utf8Name;
    std::string out;
    out.reserve(cps.size());
    for (char32_t cp : cps) {
        const int b = CodePointToCp1252(cp);
        if (b < 0) return utf8Name;
        out.push_back(static_cast<char>(b));
    }
    return out;
}

std::string HeaderNameOf(const RecordSource& record) {
    return record.headerName.empty() ? EncodeHeaderName(record.name) : record.headerName;
}

std::string DecodeHeaderName(const std::string& bytes) {
    std::u32string cps;
    bool multi = false;
    if (DecodeUtf8(bytes, &cps, &multi) && multi) return bytes;
    std::string out;
    for (char c : bytes) AppendUtf8(&out, Cp1252ToCodePoint(static_cast<uint8_t>(c)));
    return out;
}

namespace {

// Length of the control character at name[i] (1 or 2 bytes), or 0.
size_t ControlCharacterAt(const std::string& name, size_t i) {
    const auto c = static_cast<uint8_t>(name[i]);
    if (c < 0x20 || c == 0x7F) return 1;
    if (c == 0xC2 && i + 1 < name.size()) {
        const auto next = static_cast<uint8_t>(name[i + 1]);
        if (next >= 0x80 && next <= 0x9F) return 2;
    }
    return 0;
}

}  // namespace

bool HasControlCharacter(const std::string& utf8Name) {
    for (size_t i = 0; i < utf8Name.size(); ++i) {
        if (ControlCharacterAt(utf8Name, i) != 0) return true;
    }
    return false;
}

std::string EscapeControlCharacters(const std::string& utf8Name) {
    std::string out;
    out.reserve(utf8Name.size());
    for (size_t i = 0; i < utf8Name.size(); ++i) {
        const size_t width = ControlCharacterAt(utf8Name, i);
        if (width == 0) {
            out.push_back(utf8Name[i]);
            continue;
        }
        char escaped[8];
        const auto code = static_cast<unsigned>(static_cast<uint8_t>(utf8Name[i + width - 1]));
        std::snprintf(escaped, sizeof escaped, width == 1 ? "\\x%02x" : "\\u%04x", code);
        out += escaped;
        i += width - 1;
    }
    return out;
}

namespace {

// The small letter of a capital one among the letters the header's code
// page and its neighbours hold (Latin-1, Latin Extended-A, Greek, Cyrillic),
// as Windows folds them; any other code point unchanged.
uint32_t SmallLetter(uint32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
        c != 0x17F) {
        // Pairs: capital even, small odd, but odd-even from U+0139 to U+0148
        // and from U+0179 on.
        const bool oddCapitals = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        return (c % 2 == 1) == oddCapitals ? c + 1 : c;
    }
    if ((c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) return c + 0x20;
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 0x25;
    if (c == 0x38C || c == 0x38E || c == 0x38F) return c + (c == 0x38C ? 0x40 : 0x3F);
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

}  // namespace

std::string FoldCase(std::string name) {
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        const auto lead = static_cast<uint8_t>(name[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(SmallLetter(lead)));
            continue;
        }
        // The letters folded here are all two-byte sequences; anything else
        // is kept as it is.
        const auto next = i + 1 < name.size() ? static_cast<uint8_t>(name[i + 1]) : 0;
        if (lead < 0xC2 || lead > 0xDF || (next & 0xC0) != 0x80) {
            out.push_back(name[i]);
            continue;
        }
        const uint32_t small = SmallLetter(((lead & 0x1Fu) << 6) | (next & 0x3Fu));
        out.push_back(static_cast<char>(0xC0 | (small >> 6)));
        out.push_back(static_cast<char>(0x80 | (small & 0x3F)));
        ++i;
    }
    return out;
}

bool ParseFixedHead(const uint8_t* data, size_t length, FixedHead* head) {
    if (length < static_cast<size_t>(kFixedHeadSize)) return false;
    if (std::memcmp(data, "PAC", 3) != 0) return false;
    if (data[3] != 'K' && data[3] != 'E') return false;
    if (data[4] != 0 || data[9] != 0 || data[14] != 0 || data[19] != 0) return false;
    FixedHead h;
    h.magicLetter = static_cast<char>(data[3]);
    if (!ParseSlot(data + 5, &h.volumeNumber) || !ParseSlot(data + 10, &h.volumeCount) ||
        !ParseSlot(data + 15, &h.fileCount)) {
        return false;
    }
    *head = h;
    return true;
}

size_t ParseTotals(const uint8_t* data, size_t length, int64_t* totalSize, int64_t* volumeSize) {
    int64_t total = 0, volume = 0;
    const size_t a = ParseDecimal(data, length, &total);
    if (a == 0) return 0;
    const size_t b = ParseDecimal(data + a, length - a, &volume);
    if (b == 0 || total < 0 || volume <= 0) return 0;
    *totalSize = total;
    *volumeSize = volume;
    return a + b;
}

bool ParseTextPart(const uint8_t* data, size_t length, int fileCount, TextPart* text) {
    TextPart result;
    size_t pos = ParseTotals(data, length, &result.totalSize, &result.volumeSize);
    if (pos == 0 || fileCount < 0) return false;
    result.records.reserve(static_cast<size_t>(fileCount));
    int64_t sum = 0;
    for (int i = 0; i < fileCount; ++i) {
        const void* end = std::memchr(data + pos, 0, length - pos);
        if (end == nullptr) return false;
        const size_t nameLength = static_cast<const uint8_t*>(end) - (data + pos);
        HeaderRecord record;
        record.headerName.assign(reinterpret_cast<const char*>(data + pos), nameLength);
        record.name = DecodeHeaderName(record.headerName);
        if (!IsAcceptableName(record.name)) return false;
        pos += nameLength + 1;
        const size_t used = ParseDecimal(data + pos, length - pos, &record.size);
        if (used == 0 || record.size < 0) return false;
        pos += used;
        // The time record's last byte is always 0 where the writer made it.
        if (length - pos < static_cast<size_t>(kTimeRecordSize) ||
            data[pos + kTimeRecordSize - 1] != 0) {
            return false;
        }
        record.lastWrite = ParseTimeRecord(data + pos);
        pos += kTimeRecordSize;
        if (record.size > INT64_MAX - sum) return false;
        sum += record.size;
        result.records.push_back(std::move(record));
    }
    if (sum != result.totalSize) return false;
    // The table ends with its closing 0 right behind the last record: a
    // damaged count or a record that runs on would put the data elsewhere.
    if (pos >= length || data[pos] != 0) return false;
    result.length = static_cast<int64_t>(pos) + 1;
    // The length the reader derives from the values is the length the bytes
    // hold (each reader skips exactly that much to reach the data).
    int64_t derived =
        (DecimalLength(result.totalSize) + 1) + (DecimalLength(result.volumeSize) + 1);
    for (const HeaderRecord& r : result.records) {
        derived += static_cast<int64_t>(r.headerName.size()) + 1 + DecimalLength(r.size) + 1 +
                   kTimeRecordSize;
    }
    if (derived + 1 != result.length) return false;
    *text = std::move(result);
    return true;
}

bool ReadVolumeHeader(platform::File& file, int64_t offset, FixedHead* head, TextPart* text) {
    uint8_t fixed[kFixedHeadSize];
    if (!file.Seek(offset) || file.Read(fixed, kFixedHeadSize) != kFixedHeadSize ||
        !ParseFixedHead(fixed, kFixedHeadSize, head)) {
        return false;
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(TextPartReadLimit(head->fileCount)));
    const int64_t n = file.Read(buffer.data(), static_cast<int64_t>(buffer.size()));
    return n >= 0 && ParseTextPart(buffer.data(), static_cast<size_t>(n), head->fileCount, text);
}

std::string BuildHeader(char magicLetter, int volumeNumber, int volumeCount, int64_t totalSize,
                        int64_t volumeSize, const std::vector<RecordSource>& records) {
    std::string out;
    out.reserve(static_cast<size_t>(HeaderLength(totalSize, volumeSize, records)));
    out += "PAC";
    out.push_back(magicLetter);
    out.push_back('\0');
    char slot[32];
    for (int value : {volumeNumber, volumeCount, static_cast<int>(records.size())}) {
        std::snprintf(slot, sizeof slot, "%4.4d", value);
        out += slot;
        out.push_back('\0');
    }
    out += std::to_string(totalSize);
    out.push_back('\0');
    out += std::to_string(volumeSize);
    out.push_back('\0');
    for (const RecordSource& r : records) {
        out += HeaderNameOf(r);
        out.push_back('\0');
        out += std::to_string(r.size);
        out.push_back('\0');
        AppendTimeRecord(&out, r.lastWrite);
    }
    out.push_back('\0');
    return out;
}

int64_t HeaderLength(int64_t totalSize, int64_t volumeSize,
                     const std::vector<RecordSource>& records) {
    int64_t length =
        kFixedHeadSize + (DecimalLength(totalSize) + 1) + (DecimalLength(volumeSize) + 1);
    for (const RecordSource& r : records) {
        length += static_cast<int64_t>(HeaderNameOf(r).size()) + 1 + DecimalLength(r.size) + 1 +
                  kTimeRecordSize;
    }
    return length + 1;
}

bool IsSelfExtractingFirstVolumeName(const std::string& path) {
    if (path.size() < 4) return false;
    const std::string tail = path.substr(path.size() - 4);
    return tail[0] == '.' && (tail[1] | 0x20) == 'e' && (tail[2] | 0x20) == 'x' &&
           (tail[3] | 0x20) == 'e';
}

std::string VolumeName(const std::string& path, int number, bool selfExtracting) {
    // A first volume chosen as "PACKAGE.EXE" keeps its spelling: on a file
    // system that tells case apart, "PACKAGE.exe" would be another file.
    if (selfExtracting && number == 1 && IsSelfExtractingFirstVolumeName(path)) return path;
    // Only the file name changes, never the folder: a name of fewer than
    // three characters keeps itself and gets the number as its extension.
    const size_t nameLength = platform::BaseName(path).size();
    const std::string stem =
        nameLength >= 3 ? path.substr(0, path.size() - 3) : path + (nameLength > 0 ? "." : "");
    if (selfExtracting && number == 1) return stem + "exe";
    char digits[16];
    std::snprintf(digits, sizeof digits, "%3.3d", number);
    return stem + digits;
}

}  // namespace tolvane
