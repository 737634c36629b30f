// Recovery data in the PAR 2.0 format: the packets, their writer and a
// reader that takes any file and keeps only packets whose checksum holds.
//
// Every packet: "PAR2\0PKT", its length (8 bytes, a multiple of 4, header
// included), the MD5 of everything behind this field, the recovery set ID,
// the packet type (16 bytes), then the body. Numbers are little-endian.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/par2/md5.h"
#include "engine/platform/file_system.h"

namespace tolvane::par2 {

inline constexpr size_t kPacketHeaderSize = 64;
// A recovery slice packet: header, exponent, slice.
inline constexpr size_t kRecoveryPacketOverhead = kPacketHeaderSize + 4;
// At most this many input slices per set: the number of distinct constants.
inline constexpr uint32_t kMaxInputSlices = 32768;
// Exponents of recovery slices are below this.
inline constexpr uint32_t kMaxExponent = 65535;

extern const char kTypeMain[16];
extern const char kTypeFileDescription[16];
extern const char kTypeSliceChecksums[16];
extern const char kTypeRecoverySlice[16];
extern const char kTypeCreator[16];

struct FileDescription {
    Md5Digest fileId{};
    Md5Digest hashFull{};
    Md5Digest hash16k{};
    uint64_t length = 0;
    std::string name;
};

struct SliceChecksum {
    Md5Digest md5{};
    uint32_t crc = 0;
    bool operator==(const SliceChecksum&) const = default;
};

// The order of file IDs in a set: as 128-bit little-endian numbers.
bool FileIdLess(const Md5Digest& a, const Md5Digest& b);
// MD5 of the first 16 KiB's hash, the length and the name.
Md5Digest FileIdOf(const Md5Digest& hash16k, uint64_t length, const std::string& name);
// Slices a file of length bytes takes.
uint64_t SliceCountOf(uint64_t length, uint64_t sliceSize);

// --- writer ---
std::string MainBody(uint64_t sliceSize, const std::vector<Md5Digest>& sortedFileIds);
std::string FileDescriptionBody(const FileDescription& description);
std::string SliceChecksumBody(const Md5Digest& fileId, const std::vector<SliceChecksum>& slices);
std::string CreatorBody(const std::string& creator);
// A whole packet around its body (padded to a multiple of 4 by the caller).
std::string Packet(const Md5Digest& setId, const char type[16], const std::string& body);
// Header and exponent of a recovery slice packet whose MD5 (over set ID, type,
// exponent and slice) was computed by the caller.
std::string RecoveryPacketHead(const Md5Digest& setId, uint32_t exponent, uint64_t sliceSize,
                               const Md5Digest& packetHash);
// The bytes the packet MD5 of a recovery slice packet starts with.
std::string RecoveryHashPrefix(const Md5Digest& setId, uint32_t exponent);

// --- reader ---

// Where a good recovery slice lies.
struct RecoverySliceRef {
    std::string path;
    int64_t offset = 0;  // of the slice's first byte in the file
};

struct RecoverySet {
    Md5Digest setId{};
    uint64_t sliceSize = 0;
    // Files whose slices the recovery data covers, in the order of the set.
    std::vector<Md5Digest> files;
    std::map<Md5Digest, FileDescription> descriptions;
    std::map<Md5Digest, std::vector<SliceChecksum>> checksums;
    std::map<uint32_t, RecoverySliceRef> recovery;  // by exponent
    // Further copies of the same slices with other bytes (their checksums
    // hold, so only a rebuild can tell which is right), by exponent.
    std::multimap<uint32_t, RecoverySliceRef> spareRecovery;
    // The files that held good packets of the set.
    std::vector<std::string> paths;

    // A description and the slice checksums of every file are present.
    bool Complete() const;
    // Index of the set's first slice of each file (in files order), and the total.
    std::vector<uint64_t> FirstSlices(uint64_t* total) const;
};

// What the reader found in the files it was given.
class RecoveryReader {
  public:
    explicit RecoveryReader(platform::FileSystem& fs) : fs_(fs) {}
    // Reads every packet of a file; damaged packets and foreign bytes are
    // skipped. False when the file cannot be opened or read.
    bool ReadFile(const std::string& path);
    // The sets found that have a main packet, each with what belongs to it.
    std::vector<RecoverySet> Sets() const;
    // Packets whose checksum did not hold, or that made no sense.
    int damagedPackets() const { return damaged_; }
    int goodPackets() const { return good_; }

  private:
    struct Pending {
        std::map<Md5Digest, uint64_t> sliceSize;  // main packets by set
        std::map<Md5Digest, std::vector<Md5Digest>> files;
        std::map<std::pair<Md5Digest, Md5Digest>, FileDescription> descriptions;
        std::map<std::pair<Md5Digest, Md5Digest>, std::vector<SliceChecksum>> checksums;
        // Every distinct good copy of a recovery slice (its size and packet
        // MD5 tell them apart): a copy of another size than the set's, or
        // one whose bytes are not what they claim, must not hide a good one
        // behind it.
        struct Copy {
            RecoverySliceRef where;
            uint64_t size = 0;
            Md5Digest hash{};
        };
        std::map<std::pair<Md5Digest, uint32_t>, std::vector<Copy>> recovery;
        size_t recoveryCopies = 0;
        std::map<Md5Digest, std::vector<std::string>> paths;
    };
    void TakePacket(const std::string& type, const Md5Digest& setId, const uint8_t* body,
                    size_t length);

    platform::FileSystem& fs_;
    Pending pending_;
    int damaged_ = 0;
    int good_ = 0;
    uint64_t keptBytes_ = 0;
};

}  // namespace tolvane::par2
