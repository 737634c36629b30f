#include "engine/recovery_beside.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "engine/par2/packets.h"
#include "engine/platform/file_system.h"
#include "engine/recovery.h"

namespace tolvane {
namespace {

uint64_t Le64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// What the packet headers of one recovery set say.
struct SetSeen {
    uint64_t sliceSize = 0;
    uint64_t largestFile = 0;
    bool namesVolume = false;
    std::set<uint32_t> exponents;
};

bool ReadAll(platform::File& file, int64_t at, uint8_t* buffer, size_t count) {
    if (!file.Seek(at)) return false;
    size_t got = 0;
    while (got < count) {
        const int64_t r = file.Read(buffer + got, static_cast<int64_t>(count - got));
        if (r <= 0) return false;
        got += static_cast<size_t>(r);
    }
    return true;
}

// Walks the packets of one file; stops at the first bytes that are no packet.
void ScanFile(platform::FileSystem& fs, const std::string& path, const std::string& volumeName,
              uint64_t volumeLength, std::map<std::string, SetSeen>* sets) {
    platform::FileFacts facts;
    if (!fs.Stat(path, &facts)) return;
    const std::unique_ptr<platform::File> file = fs.Open(path, platform::OpenMode::Read);
    if (!file) return;
    const auto size = static_cast<uint64_t>(facts.size);
    uint64_t at = 0;
    uint8_t head[par2::kPacketHeaderSize];
    while (at + par2::kPacketHeaderSize <= size) {
        if (!ReadAll(*file, static_cast<int64_t>(at), head, sizeof head)) return;
        if (std::memcmp(head, "PAR2\0PKT", 8) != 0) return;
        const uint64_t length = Le64(head + 8);
        if (length < par2::kPacketHeaderSize || length % 4 != 0 || length > size - at) return;
        const std::string setId(reinterpret_cast<const char*>(head + 32), 16);
        const uint8_t* type = head + 48;
        const uint64_t bodyLength = length - par2::kPacketHeaderSize;
        const auto bodyAt = static_cast<int64_t>(at + par2::kPacketHeaderSize);
        SetSeen& seen = (*sets)[setId];
        if (std::memcmp(type, par2::kTypeMain, 16) == 0 && bodyLength >= 12) {
            uint8_t body[8];
            if (!ReadAll(*file, bodyAt, body, sizeof body)) return;
            seen.sliceSize = Le64(body);
        } else if (std::memcmp(type, par2::kTypeRecoverySlice, 16) == 0 && bodyLength >= 4) {
            uint8_t body[4];
            if (!ReadAll(*file, bodyAt, body, sizeof body)) return;
            seen.exponents.insert(Le32(body));
        } else if (std::memcmp(type, par2::kTypeFileDescription, 16) == 0 && bodyLength >= 56 &&
                   bodyLength <= 56 + 4096) {
            std::vector<uint8_t> body(bodyLength);
            if (!ReadAll(*file, bodyAt, body.data(), body.size())) return;
            const uint64_t fileLength = Le64(body.data() + 48);
            std::string name(reinterpret_cast<const char*>(body.data() + 56), bodyLength - 56);
            name.resize(std::strlen(name.c_str()));  // padded with zeros
            seen.largestFile = std::max(seen.largestFile, fileLength);
            if (name == volumeName && fileLength == volumeLength) seen.namesVolume = true;
        }
        at += length;
    }
}

}  // namespace

RecoveryBeside FindRecoveryBeside(platform::FileSystem& fs, const std::string& volumePath) {
    RecoveryBeside result;
    platform::FileFacts facts;
    if (!fs.Stat(volumePath, &facts)) return result;
    std::map<std::string, SetSeen> sets;
    for (const std::string& path : StaleRecoveryFiles(volumePath)) {
        ScanFile(fs, path, platform::BaseName(volumePath), static_cast<uint64_t>(facts.size),
                 &sets);
    }
    for (const auto& [id, seen] : sets) {
        if (!seen.namesVolume || seen.sliceSize == 0) {
            result.otherSet = result.otherSet || seen.sliceSize != 0;
            continue;
        }
        result.found = true;
        const uint64_t perVolume =
            std::max<uint64_t>(1, (seen.largestFile + seen.sliceSize - 1) / seen.sliceSize);
        result.volumes =
            std::max(result.volumes, static_cast<int>(seen.exponents.size() / perVolume));
    }
    if (result.found) result.otherSet = false;
    return result;
}

}  // namespace tolvane
