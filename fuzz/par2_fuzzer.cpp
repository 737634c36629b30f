// Fuzz target: one recovery file (PAR 2.0) of any content, read beside two
// small volumes held in memory; every set found is checked against them and,
// where its recovery slices suffice, the damaged one is rebuilt. Nothing may
// crash, hang or allocate without bound.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/par2/packets.h"
#include "engine/par2/repairer.h"
#include "tests/support/memory_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tolvane::par2;
    tolvane::test::MemoryFileSystem fs;
    // Outputs are bounded: a hostile set must not make them grow without end.
    fs.maxFileSize = 4 << 20;
    fs.Put("package.par2", std::string(reinterpret_cast<const char*>(data), size));
    fs.Put("package.001", std::string(203, 'x'));
    fs.Put("package.002", "hello tolvane recovery");
    RecoveryReader reader(fs);
    reader.ReadFile("package.par2");
    int sets = 0;
    for (const RecoverySet& set : reader.Sets()) {
        if (!set.Complete()) continue;
        // Outputs are created anew (exclusively): one name per set.
        ++sets;
        std::vector<std::string> paths;
        std::vector<RebuildFile> targets;
        uint64_t missing = 0;
        for (size_t f = 0; f < set.files.size(); ++f) {
            const FileDescription& d = set.descriptions.at(set.files[f]);
            const std::string path = d.name;
            paths.push_back(path);
            const FileCheck check =
                CheckFile(fs, path, d, set.checksums.at(set.files[f]), set.sliceSize);
            if (check.state != FileCheck::State::Intact) {
                targets.push_back(
                    {f, check.state == FileCheck::State::Damaged ? path : "", check.goodSlices,
                     "out." + std::to_string(sets) + "." + std::to_string(f), nullptr});
                missing += check.MissingSlices();
            }
        }
        // The rebuild's work grows with slices times missing slices; small
        // sets keep every input quick.
        uint64_t slices = 0;
        set.FirstSlices(&slices);
        if (!targets.empty() && missing <= 16 && slices <= 4096) {
            Rebuild(fs, set, paths, targets, 1 << 20);
        }
    }
    return 0;
}
