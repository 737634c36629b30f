// The header parser on any bytes: it never reads beyond them, and a header
// it accepts is exactly the header the writer makes of the values it read,
// byte for byte, so that every reader skips the same length to the data.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/volume_header.h"
#include "fuzz/fuzz_check.h"

using namespace tolvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FixedHead head;
    if (!ParseFixedHead(data, size, &head)) return 0;
    FUZZ_CHECK(head.magicLetter == 'K' || head.magicLetter == 'E');
    FUZZ_CHECK(head.fileCount >= 0 && head.fileCount <= kMaxSlotValue);
    TextPart text;
    if (!ParseTextPart(data + kFixedHeadSize, size - kFixedHeadSize, head.fileCount, &text)) {
        return 0;
    }
    FUZZ_CHECK(static_cast<int>(text.records.size()) == head.fileCount);
    FUZZ_CHECK(text.totalSize >= 0 && text.volumeSize > 0);

    std::vector<RecordSource> records;
    int64_t sum = 0;
    for (const HeaderRecord& r : text.records) {
        FUZZ_CHECK(r.size >= 0);
        sum += r.size;
        FUZZ_CHECK(!r.name.empty() && r.name != "." && r.name != "..");
        FUZZ_CHECK(r.name.find('/') == std::string::npos);
        // Shown escaped, a name holds no control character.
        FUZZ_CHECK(!HasControlCharacter(EscapeControlCharacters(r.name)));
        records.push_back({r.name, r.size, r.lastWrite, r.headerName});
    }
    FUZZ_CHECK(sum == text.totalSize);

    const std::string rebuilt = BuildHeader(head.magicLetter, head.volumeNumber, head.volumeCount,
                                            text.totalSize, text.volumeSize, records);
    FUZZ_CHECK(static_cast<int64_t>(rebuilt.size()) == kFixedHeadSize + text.length);
    FUZZ_CHECK(static_cast<int64_t>(rebuilt.size()) ==
               HeaderLength(text.totalSize, text.volumeSize, records));
    FUZZ_CHECK(rebuilt.size() <= size && std::memcmp(rebuilt.data(), data, rebuilt.size()) == 0);
    return 0;
}
