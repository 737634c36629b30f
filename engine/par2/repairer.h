// Checks files against a recovery set and re-creates what is missing or
// damaged from the intact slices and the recovery slices.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/par2/creator.h"
#include "engine/par2/packets.h"
#include "engine/platform/file_system.h"

namespace tolvane::par2 {

struct FileCheck {
    enum class State { Intact, Missing, Damaged };
    State state = State::Missing;
    // Per slice of the file: found intact in its place.
    std::vector<bool> goodSlices;
    uint64_t MissingSlices() const;
};

// Checks a file against its description: the MD5 of the whole file first;
// only when that fails each slice in its place. Unreadable bytes count as
// damaged. progress gets the bytes read.
FileCheck CheckFile(platform::FileSystem& fs, const std::string& path,
                    const FileDescription& description, const std::vector<SliceChecksum>& slices,
                    uint64_t sliceSize, const std::function<void(uint64_t)>& progress = {});

// MD5 of a whole file; false when it cannot be read.
bool HashFile(platform::FileSystem& fs, const std::string& path, Md5Digest* digest,
              uint64_t* length, const std::function<void(uint64_t)>& progress = {});

struct RebuildFile {
    // Index into set.files.
    size_t file = 0;
    // Where its intact slices are read: the file checked, or "" when missing.
    std::string readPath;
    // Intact slices (as CheckFile found them); empty for a missing file.
    std::vector<bool> goodSlices;
    // Where the rebuilt file is written: a new file, created here
    // exclusively unless output holds it open already. Empty: its missing
    // slices are solved for (they are unknowns of the equations) but the
    // file is not written.
    std::string outputPath;
    std::shared_ptr<platform::File> output;
};

enum class RebuildResult {
    Done,
    NotEnoughRecovery,
    TooManyUnknowns,  // the equations would not fit the memory budget
    Unsolvable,
    ReadFailed,
    WriteFailed,
    Stopped,
};

// Missing slices whose equations fit memoryBudget (the inverted matrix and
// the windows of the solve together).
uint64_t MaxUnknowns(uint64_t memoryBudget);

// Re-creates the given files. Every other file of the set must be intact at
// intactPaths[index] (by index into set.files; unused for the rebuilt ones).
// NotEnoughRecovery when the set holds fewer good recovery slices than
// slices are missing, TooManyUnknowns when more are missing than
// MaxUnknowns(memoryBudget); nothing is written then. progress also runs
// through the solve; *stop (when given) is looked at between steps of a
// few milliseconds each. Written files are removed again when the call
// fails or stops.
RebuildResult Rebuild(platform::FileSystem& fs, const RecoverySet& set,
                      const std::vector<std::string>& intactPaths,
                      const std::vector<RebuildFile>& targets, uint64_t memoryBudget,
                      const Progress& progress = {}, const std::atomic<bool>* stop = nullptr);

}  // namespace tolvane::par2
