// Writes recovery data in the PAR 2.0 format for a list of input files whose
// bytes come from any source (the finished files, or what they are made of).
// Memory stays within a budget whatever the sizes: the recovery slices are
// computed a window at a time, the inputs read once per window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/par2/packets.h"
#include "engine/platform/file_system.h"

namespace tolvane::par2 {

class InputSource {
  public:
    virtual ~InputSource() = default;
    // Reads exactly count bytes of input file number file at offset; the
    // range lies inside the file. False on a read failure.
    virtual bool Read(size_t file, uint64_t offset, uint8_t* buffer, size_t count) = 0;
};

struct InputFile {
    std::string name;  // as stored in the recovery data: no folder
    uint64_t length = 0;
};

enum class Failure { None, Read, Write, TooManySlices };

// Bytes processed so far and in all.
using Progress = std::function<void(uint64_t done, uint64_t total)>;

// Everything of a set but its recovery slices.
struct SetDescription {
    uint64_t sliceSize = 0;
    Md5Digest setId{};
    std::vector<FileDescription> files;              // in input order
    std::vector<std::vector<SliceChecksum>> slices;  // in input order
    std::vector<size_t> order;                       // input numbers in the set's order
    std::string criticalPackets;                     // main, descriptions, checksums, creator
};

// Reads every input once: file and slice checksums, the set ID and the
// critical packets. sliceSize must be a positive multiple of 4.
Failure Describe(InputSource& input, const std::vector<InputFile>& files, uint64_t sliceSize,
                 const std::string& creator, SetDescription* description,
                 const Progress& progress = {});

struct RecoveryFile {
    std::string path;
    uint32_t firstExponent = 0;
    uint32_t count = 0;
};

// Writes the index file: the critical packets alone.
Failure WriteIndexFile(platform::FileSystem& fs, const std::string& path,
                       const SetDescription& description);

// Writes recovery files, each holding the critical packets and its recovery
// slices, every byte flushed to the medium. Files written by a failed call
// are removed again.
Failure WriteRecoveryFiles(platform::FileSystem& fs, InputSource& input,
                           const SetDescription& description,
                           const std::vector<RecoveryFile>& outputs, uint64_t memoryBudget,
                           const Progress& progress = {});

// Bytes of one recovery file.
uint64_t RecoveryFileSize(const SetDescription& description, uint32_t count);

// Largest window (multiple of 4, at most the slice size) that keeps buffers
// of `buffers` windows within budget.
uint64_t WindowFor(uint64_t sliceSize, uint64_t buffers, uint64_t budget);

}  // namespace tolvane::par2
