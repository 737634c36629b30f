// Writes the seed corpus: small valid sets made the way the writer makes
// them, and damaged copies of them (the damage each reader must refuse).
// Run once after a change of the input layout of a target:
//   cmake --build build --target fuzz_seed_maker && build/bin/fuzz_seed_maker fuzz/corpus
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/archive_set.h"
#include "engine/volume_header.h"
#include "tests/support/par2_craft.h"

using namespace tolvane;

namespace {

const platform::SystemTime kTime{1998, 3, 5, 6, 15, 12, 5, 0};
const std::string kSeparator = "\n=VOL=\n";

void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Data(size_t n, char seed) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s.push_back(static_cast<char>(seed + i * 7));
    return s;
}

// The volumes of a set of files (name, contents) cut at volumeSize, as the
// split writer lays them out (the stub area of a self-extracting first
// volume counts against it but is not included here).
std::vector<std::string> MakeSet(const std::vector<std::pair<std::string, std::string>>& files,
                                 int64_t volumeSize, bool sfx) {
    std::vector<RecordSource> records;
    std::string stream;
    for (const auto& [name, bytes] : files) {
        records.push_back({name, static_cast<int64_t>(bytes.size()), kTime});
        stream += bytes;
    }
    const int64_t header = HeaderLength(static_cast<int64_t>(stream.size()), volumeSize, records);
    const int64_t capacity = volumeSize - header;
    std::vector<std::string> parts;
    size_t pos = 0;
    int64_t first = sfx ? capacity - kStubAreaSize : capacity;
    do {
        const int64_t take = parts.empty() ? first : capacity;
        parts.push_back(stream.substr(pos, static_cast<size_t>(take)));
        pos += static_cast<size_t>(take);
    } while (pos < stream.size());
    std::vector<std::string> volumes;
    for (size_t i = 0; i < parts.size(); ++i) {
        volumes.push_back(BuildHeader(sfx ? 'E' : 'K', static_cast<int>(i) + 1,
                                      static_cast<int>(parts.size()),
                                      static_cast<int64_t>(stream.size()), volumeSize, records) +
                          parts[i]);
    }
    return volumes;
}

std::string RestoreInput(const std::vector<std::string>& volumes, bool sfx) {
    std::string out(1, static_cast<char>((volumes.size() - 1) | (sfx ? 4 : 0)));
    for (size_t i = 0; i < volumes.size(); ++i) out += (i ? kSeparator : "") + volumes[i];
    return out;
}

std::string Replace(std::string s, const std::string& from, const std::string& to) {
    const size_t at = s.find(from);
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const auto one = MakeSet({{"a.txt", "hello"}}, 1441792, false);
    const auto two =
        MakeSet({{"erste.bin", Data(150, 1)}, {"leer", ""}, {"zwei.dat", Data(40, 3)}}, 160, false);
    const auto three = MakeSet({{"x.bin", Data(300, 5)}}, 160, false);
    const auto other =
        MakeSet({{"erste.bin", Data(150, 9)}, {"leer", ""}, {"zwei.dat", Data(40, 3)}}, 160, false);
    const auto sfx =
        MakeSet({{"s.bin", Data(120, 2)}, {"t.bin", Data(30, 4)}}, kStubAreaSize + 120, true);

    // Headers alone, valid and damaged.
    const std::filesystem::path h = root / "header_parser";
    Write(h / "example", one[0]);
    Write(h / "three-files", two[0]);
    Write(h / "self-extracting", sfx[1]);
    Write(h / "total-leading-zero",
          Replace(one[0], std::string("1441792\0", 8), std::string("0441792\0", 8)));
    Write(h / "minus-zero", Replace(two[0],
                                    std::string("\0"
                                                "0\0",
                                                3),
                                    std::string("\0-0\0", 4)));
    Write(h / "count-too-small", Replace(two[0], "0003", "0002"));
    Write(h / "truncated", two[0].substr(0, 40));

    // The information reader: byte 0 bit 0 names the file package.exe.
    const std::filesystem::path p = root / "package_info";
    Write(p / "example", std::string(1, '\0') + one[0]);
    Write(p / "volume-2", std::string(1, '\0') + two[1]);
    Write(p / "package-exe", std::string(1, '\1') + sfx[0]);
    Write(p / "control-name",
          std::string(1, '\0') + MakeSet({{"x\n2 fake.txt", "ab"}}, 1000, false)[0]);
    Write(p / "not-a-volume", std::string(1, '\0') + "PACKED0000000000000000");

    // Whole restores.
    const std::filesystem::path r = root / "restore";
    Write(r / "one-volume", RestoreInput(one, false));
    Write(r / "two-volumes", RestoreInput(two, false));
    Write(r / "three-volumes", RestoreInput(three, false));
    Write(r / "self-extracting", RestoreInput(sfx, true));
    Write(r / "foreign-volume-2", RestoreInput({two[0], other[1]}, false));
    Write(r / "total-leading-zero",
          RestoreInput({Replace(one[0], std::string("1441792\0", 8), std::string("0441792\0", 8))},
                       false));
    Write(r / "duplicate-names",
          RestoreInput(MakeSet({{"d", "12"}, {"d", "34"}}, 1000, false), false));
    Write(r / "control-name", RestoreInput(MakeSet({{"x\033[2J", "ab"}}, 1000, false), false));
    Write(r / "volume-2-missing", RestoreInput({two[0]}, false));

    // Recovery files as another tool or an attacker makes them, read beside
    // the target's package.001 (203 bytes) and package.002.
    const std::filesystem::path q = root / "par2";
    const std::string v1(203, 'x');
    const std::string v2 = "hello tolvane recovery";
    Write(q / "listed-other-names.par2", test::MakeRecoveryFile({{"package.001", v1},
                                                                 {"package.002", v2},
                                                                 {"notes.txt", "notes"},
                                                                 {"package.par2", "index"},
                                                                 {"../outside.txt", "o"},
                                                                 {"/tmp/absolute.txt", "a"},
                                                                 {"sub\\back.txt", "b"},
                                                                 {"nodir/notes.txt", "n"},
                                                                 {"x\033[2J\ay", "c"}},
                                                                64, 8));
    // The same slice twice, its first copy of another size.
    const std::string good = test::MakeRecoveryFile({{"package.002", v2}}, 8, 3);
    const par2::Md5Digest setId = [&] {
        const std::string main = par2::MainBody(
            8, {par2::FileIdOf(par2::Md5Of(v2.data(), v2.size()), v2.size(), "package.002")});
        return par2::Md5Of(main.data(), main.size());
    }();
    Write(q / "wrong-size-copy-first.par2",
          test::RecoveryPacket(setId, 0, std::string(12, 'w')) + good);
    // A packet whose header straddles the end of the reader's 64 KiB window.
    Write(q / "packet-at-window-end.par2", std::string(65536 - 9, 'z') + good);
    // Many tiny slices of a lost file: a large solve from a small file.
    Write(q / "many-tiny-slices.par2", test::ManyTinySlices("package.003", 600));
    return 0;
}
