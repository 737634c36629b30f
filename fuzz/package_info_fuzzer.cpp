// The information reader on any file: byte 0 says whether the file is named
// like the first volume of a self-extracting set (its header then lies
// behind the stub area); the rest is the file. A refusal carries its
// message, an answer is consistent with itself, and nothing is written.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/archive_set.h"
#include "engine/package_info.h"
#include "engine/texts.h"
#include "engine/volume_header.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/memory_file_system.h"

using namespace tolvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool exe = (data[0] & 1) != 0;
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if (exe) bytes.insert(0, static_cast<size_t>(kStubAreaSize), '\0');
    const std::string path = exe ? "/arc/package.exe" : "/arc/package.001";

    test::MemoryFileSystem fs;
    fs.Put(path, bytes);
    const PackageInfo info = DiskInfoReadHeader(fs, path);
    FUZZ_CHECK(fs.written().empty());
    std::string after;
    FUZZ_CHECK(fs.Get(path, &after) && after == bytes);

    if (info.status != PackageInfo::Status::Ok) {
        FUZZ_CHECK(info.status == PackageInfo::Status::NotAPackage);
        FUZZ_CHECK(info.messageText == texts::kNotAPackage);
        FUZZ_CHECK(info.messageCaption == texts::kCapDiskInfoIsPackage);
        FUZZ_CHECK(info.rows.empty() && info.fileCount == 0 && info.totalSize == 0);
        return 0;
    }
    FUZZ_CHECK(info.messageText.empty());
    FUZZ_CHECK(static_cast<int>(info.rows.size()) == info.fileCount);
    int64_t sum = 0;
    int number = 1;
    for (const PackageInfoRow& row : info.rows) {
        FUZZ_CHECK(row.number == number++);
        FUZZ_CHECK(row.size >= 0);
        sum += row.size;
        FUZZ_CHECK(!HasControlCharacter(EscapeControlCharacters(row.name)));
    }
    FUZZ_CHECK(sum == info.totalSize);
    return 0;
}
