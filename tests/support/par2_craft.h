// Recovery files made the way another PAR 2.0 tool (or an attacker) makes
// them: over any names, of any slice size, with recovery slices computed or
// invented. Used by the tests and by the fuzz seed maker.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/par2/creator.h"
#include "engine/par2/packets.h"
#include "tests/support/memory_file_system.h"

namespace tolvane::test {

using NamedBytes = std::vector<std::pair<std::string, std::string>>;

class BytesSource : public par2::InputSource {
  public:
    explicit BytesSource(const NamedBytes& files) : files_(files) {}
    bool Read(size_t file, uint64_t offset, uint8_t* buffer, size_t count) override {
        std::memcpy(buffer, files_.at(file).second.data() + offset, count);
        return true;
    }

  private:
    const NamedBytes& files_;
};

// One recovery file over files (stored under their names as given) with
// recovery slices for the exponents [first, first + count), as a PAR2 tool
// computes them.
inline std::string MakeRecoveryFile(const NamedBytes& files, uint64_t sliceSize, uint32_t count,
                                    uint32_t first = 0) {
    BytesSource source(files);
    std::vector<par2::InputFile> inputs;
    for (const auto& [name, bytes] : files) inputs.push_back({name, bytes.size()});
    par2::SetDescription description;
    if (par2::Describe(source, inputs, sliceSize, "Test", &description) != par2::Failure::None) {
        return {};
    }
    MemoryFileSystem fs;
    if (par2::WriteRecoveryFiles(fs, source, description, {{"r.par2", first, count}}, 64u << 20) !=
        par2::Failure::None) {
        return {};
    }
    std::string bytes;
    fs.Get("r.par2", &bytes);
    return bytes;
}

// A recovery packet whose checksum holds, over any slice bytes.
inline std::string RecoveryPacket(const par2::Md5Digest& setId, uint32_t exponent,
                                  const std::string& slice) {
    const std::string hashed = par2::RecoveryHashPrefix(setId, exponent) + slice;
    return par2::RecoveryPacketHead(setId, exponent, slice.size(),
                                    par2::Md5Of(hashed.data(), hashed.size())) +
           slice;
}

// A hostile recovery file: one file `name` of `slices` slices of 4 bytes
// (none of them at hand) and as many invented recovery slices, so that a
// rebuild has that many unknowns to solve for.
inline std::string ManyTinySlices(const std::string& name, uint32_t slices) {
    par2::FileDescription d;
    d.length = uint64_t(slices) * 4;
    d.name = name;
    d.fileId = par2::FileIdOf(d.hash16k, d.length, name);
    const std::string main = par2::MainBody(4, {d.fileId});
    const par2::Md5Digest setId = par2::Md5Of(main.data(), main.size());
    std::string out = par2::Packet(setId, par2::kTypeMain, main) +
                      par2::Packet(setId, par2::kTypeFileDescription, FileDescriptionBody(d));
    std::vector<par2::SliceChecksum> checksums(slices);
    out += par2::Packet(setId, par2::kTypeSliceChecksums, SliceChecksumBody(d.fileId, checksums));
    for (uint32_t e = 0; e < slices; ++e) {
        const char slice[4] = {static_cast<char>(e), static_cast<char>(e >> 8), 1, 2};
        out += RecoveryPacket(setId, e, std::string(slice, 4));
    }
    return out;
}

}  // namespace tolvane::test
