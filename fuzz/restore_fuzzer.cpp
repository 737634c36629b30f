// A whole restore of a one- to three-volume set into a folder of an
// in-memory file system. The input: byte 0 holds the number of volumes
// (bits 0-1, 1 to 3) and whether the first is a self-extracting package.exe
// (bit 2; its stub area of zero bytes is added here); the volumes follow,
// separated by kVolumeSeparator. Promises checked:
// - nothing is written outside the target folder, and no volume changes;
// - a restore that reports success read only volumes of the set (each header
//   is the set's header but for its number) and wrote every file with
//   exactly the bytes the header's sizes cut from the volumes' data.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "engine/archive_set.h"
#include "engine/drivers.h"
#include "engine/extractor.h"
#include "engine/volume_header.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/memory_file_system.h"

using namespace tolvane;

namespace {

constexpr std::string_view kVolumeSeparator = "\n=VOL=\n";
constexpr const char* kTarget = "/out";

std::vector<std::string> SplitVolumes(std::string_view rest, int count) {
    std::vector<std::string> volumes;
    while (static_cast<int>(volumes.size()) < count - 1) {
        const size_t at = rest.find(kVolumeSeparator);
        if (at == std::string_view::npos) break;
        volumes.emplace_back(rest.substr(0, at));
        rest.remove_prefix(at + kVolumeSeparator.size());
    }
    volumes.emplace_back(rest);
    return volumes;
}

struct Record {
    std::string name;
    int64_t size;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int count = 1 + (data[0] & 3) % 3;
    const bool sfx = (data[0] & 4) != 0;
    std::vector<std::string> volumes =
        SplitVolumes(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), count);
    if (sfx) volumes[0].insert(0, static_cast<size_t>(kStubAreaSize), '\0');

    test::MemoryFileSystem fs;
    std::vector<std::string> names;
    for (size_t i = 0; i < volumes.size(); ++i) {
        names.push_back(VolumeName("/arc/package.001", static_cast<int>(i) + 1, sfx));
        fs.Put(names.back(), volumes[i]);
    }

    ArchiveSettings settings;
    settings.packagePath = names[0];
    SilentDisplay display;
    QuellDateien set(settings, fs, display);
    if (set.readHeader()) {
        set.CalcHeaderSize();
        std::vector<Record> records;
        for (const FileEntry* e = set.head; e != nullptr; e = e->next) {
            records.push_back({e->Name(), e->size});
        }
        const int volumeCount = settings.volumeCount;
        const int64_t volumeSize = settings.volumeSize;
        const int64_t headerSize = set.headerSize;
        const bool selfExtracting = settings.selfExtracting == 1;
        const std::string setHeader = set.SetHeader(1);

        settings.targetPath = kTarget;
        settings.currentVolume = 1;
        RestoreVariant variant;
        variant.acceptSelfExtracting = true;
        DriveOutcome outcome = DriveOutcome::Stopped;
        for (int press = 0; press < 8; ++press) {
            outcome = RestoreStep(set, variant);
            if (outcome != DriveOutcome::WaitingForNextMedium) break;
        }

        if (outcome == DriveOutcome::Finished) {
            // Every volume read belongs to the set; their data is the stream.
            std::string stream;
            for (int n = 1; n <= volumeCount && !records.empty(); ++n) {
                FUZZ_CHECK(n <= static_cast<int>(volumes.size()));
                const std::string& v = volumes[n - 1];
                const size_t offset = selfExtracting && n == 1 ? kStubAreaSize : 0;
                FUZZ_CHECK(v.size() >= offset + static_cast<size_t>(headerSize));
                std::string header = v.substr(offset, static_cast<size_t>(headerSize));
                char slot[16];
                std::snprintf(slot, sizeof slot, "%4.4d", n);
                FUZZ_CHECK(header.compare(5, 4, slot) == 0);
                header.replace(5, 4, setHeader.substr(5, 4));
                FUZZ_CHECK(header == setHeader);
                if (n < volumeCount) FUZZ_CHECK(static_cast<int64_t>(v.size()) == volumeSize);
                stream += v.substr(offset + static_cast<size_t>(headerSize));
            }
            size_t pos = 0;
            for (const Record& r : records) {
                std::string restored;
                FUZZ_CHECK(fs.Get(std::string(kTarget) + "/" + r.name, &restored));
                FUZZ_CHECK(pos + static_cast<size_t>(r.size) <= stream.size());
                FUZZ_CHECK(restored == stream.substr(pos, static_cast<size_t>(r.size)));
                pos += static_cast<size_t>(r.size);
            }
        }
    }

    // Written: only names directly in the target folder; the volumes as they were.
    const std::string prefix = std::string(kTarget) + "/";
    for (const std::string& path : fs.written()) {
        FUZZ_CHECK(path.compare(0, prefix.size(), prefix) == 0);
        const std::string name = path.substr(prefix.size());
        FUZZ_CHECK(!name.empty() && name != "." && name != ".." &&
                   name.find('/') == std::string::npos);
    }
    for (size_t i = 0; i < volumes.size(); ++i) {
        std::string after;
        FUZZ_CHECK(fs.Get(names[i], &after) && after == volumes[i]);
    }
    return 0;
}
