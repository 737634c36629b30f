// The volume header: its byte layout, its length, and the one parser every
// reader shares (readHeader, CheckDisk, the information reader, the stub).
//
// Layout, offsets from the start of the header:
//   0  "PACK" (plain) or "PACE" (self-extracting), 0
//   5  this volume's number, four digits, 0
//  10  volume count, four digits, 0
//  15  file count, four digits, 0
//  20  total size as decimal text, 0; volume size as decimal text, 0
//      per file: name, 0, size as decimal text, 0, 11-byte time record
//      a closing 0 (an empty name)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/platform/file_system.h"

namespace tolvane {

inline constexpr int kFixedHeadSize = 20;
inline constexpr int kTimeRecordSize = 11;
inline constexpr int kMaxSlotValue = 9999;

// Bytes of text part a reader takes behind the fixed head.
inline int64_t TextPartReadLimit(int fileCount) {
    return 310LL * fileCount + 260;
}

struct FixedHead {
    char magicLetter = 0;  // 'K' plain, 'E' self-extracting
    int volumeNumber = 0;
    int volumeCount = 0;
    int fileCount = 0;
};

struct HeaderRecord {
    std::string name;        // UTF-8
    std::string headerName;  // the name's bytes as the header holds them
    int64_t size = 0;
    platform::SystemTime lastWrite;
};

struct TextPart {
    int64_t totalSize = 0;
    int64_t volumeSize = 0;
    std::vector<HeaderRecord> records;
    // Bytes of the text part, closing 0 included: the header is
    // kFixedHeadSize + length bytes long.
    int64_t length = 0;
};

// Checks the 20-byte fixed head. requireMagicK/E: 0 accepts either letter.
// Every slot must be exactly four digits; false means "not a volume".
bool ParseFixedHead(const uint8_t* data, size_t length, FixedHead* head);

// Reads the two totals only (what CheckDisk compares). Returns the number of
// bytes they take, or 0 when they are not both present and valid.
size_t ParseTotals(const uint8_t* data, size_t length, int64_t* totalSize, int64_t* volumeSize);

// Parses the text part: the totals, fileCount records and the closing 0
// right behind them. Never reads past length. False (not a volume) when the
// table ends early or runs on, a number is not spelt as the writer spells it
// (no leading zero, no "+", no "-0"), a size or total is negative, the
// volume size is not positive, the sizes do not add up to the total, or a
// name is empty, ".", "..", or holds "/" or "\".
bool ParseTextPart(const uint8_t* data, size_t length, int fileCount, TextPart* text);

// Reads the header that starts at offset of an open volume file: the fixed
// head, then at most TextPartReadLimit bytes of text part, both parsed as
// above. False when it is not a volume (too short, damaged, hostile).
bool ReadVolumeHeader(platform::File& file, int64_t offset, FixedHead* head, TextPart* text);

// One file record as the header stores it, name encoded for the header.
struct RecordSource {
    std::string name;  // UTF-8
    int64_t size = 0;
    platform::SystemTime lastWrite;
    // The name's bytes as a header read back held them; empty for a file
    // taken from disk, whose name is encoded when the header is written.
    // Keeping them makes a header written again (a repaired volume) and its
    // length the same as the original's, whatever the name's encoding.
    std::string headerName = {};
};

// The bytes of a record's name in the header.
std::string HeaderNameOf(const RecordSource& record);

// Builds a whole header in memory.
std::string BuildHeader(char magicLetter, int volumeNumber, int volumeCount, int64_t totalSize,
                        int64_t volumeSize, const std::vector<RecordSource>& records);

// Length of the header by the formula (the same for every volume of a set).
int64_t HeaderLength(int64_t totalSize, int64_t volumeSize,
                     const std::vector<RecordSource>& records);

// Decimal digits of a signed value as written in the header ("-" counted).
int DecimalLength(int64_t value);

// File names travel as single-byte text: Windows-1252 when every character
// fits, else the UTF-8 bytes themselves.
std::string EncodeHeaderName(const std::string& utf8Name);
// Valid UTF-8 with at least one multi-byte sequence is taken as UTF-8;
// anything else as Windows-1252.
std::string DecodeHeaderName(const std::string& bytes);

// True when a UTF-8 name holds a control character (U+0000-U+001F, U+007F,
// U+0080-U+009F): such a name can rewrite a terminal or a status line.
bool HasControlCharacter(const std::string& utf8Name);
// The name with every control character written as "\xNN" (U+0000-U+007F)
// or "\uNNNN" (U+0080-U+009F), fit for a terminal or a status line.
std::string EscapeControlCharacters(const std::string& utf8Name);

// The name with its capital letters in lower case (A-Z, and the capitals of
// Latin-1, Latin Extended-A, Greek and Cyrillic): the key under which names
// that differ only in letter case are one name, as Windows compares them.
std::string FoldCase(std::string name);

// True when path ends in ".exe" in any case: the header lies behind the stub.
bool IsSelfExtractingFirstVolumeName(const std::string& path);

// Name of volume number n: the last three characters of path's file name
// replaced by n in three digits, or by "exe" for the first volume of a
// self-extracting set. A file name of fewer than three characters gets "."
// and the number added; the folder part never changes.
std::string VolumeName(const std::string& path, int number, bool selfExtracting);

}  // namespace tolvane
