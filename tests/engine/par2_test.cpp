// The PAR 2.0 building blocks: MD5 and CRC-32 against their published test
// values, the field arithmetic, the packets written and read back, damaged
// and hostile recovery files, and a rebuild of lost and damaged files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "engine/par2/crc32.h"
#include "engine/par2/creator.h"
#include "engine/par2/galois.h"
#include "engine/par2/md5.h"
#include "engine/par2/packets.h"
#include "engine/par2/repairer.h"
#include "engine/platform/file_system.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/par2_craft.h"
#include "tests/support/test_support.h"

namespace tolvane::par2 {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Hex(const Md5Digest& d) {
    std::string out;
    char b[3];
    for (uint8_t c : d) {
        std::snprintf(b, sizeof b, "%02x", c);
        out += b;
    }
    return out;
}

TEST(Md5, MatchesTheTestSuiteOfItsDefinition) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, digest] : cases) {
        EXPECT_EQ(Hex(Md5Of(text.data(), text.size())), digest) << text;
        // Fed in uneven pieces, read in the middle and at the end.
        Md5 md5;
        for (size_t i = 0; i < text.size(); i += 7)
            md5.Update(text.data() + i, std::min<size_t>(7, text.size() - i));
        EXPECT_EQ(Hex(md5.Final()), digest) << text;
        EXPECT_EQ(Hex(md5.Final()), digest) << "a second read gives the same";
    }
}

// Lengths where the padding fits the last block or spills into one more:
// writer and reader share the function, so only known answers catch a slip.
TEST(Md5, LengthsAtTheEdgesOfTheLastBlock) {
    const std::vector<std::pair<size_t, std::string>> cases = {
        {55, "ef1772b6dff9a122358552954ad0df65"},  {56, "3b0c8ac703f828b04c6c197006d17218"},
        {63, "b06521f39153d618550606be297466d5"},  {64, "014842d480b571495a4a0363793f7367"},
        {119, "8a7bd0732ed6a28ce75f6dabc90e1613"}, {120, "5f61c0ccad4cac44c75ff505e1f1e537"},
        {127, "020406e1d05cdc2aa287641f7ae2cc39"}, {128, "e510683b3f5ffe4093d021808bc6ff70"},
    };
    for (const auto& [length, digest] : cases) {
        const std::string text(length, 'a');
        EXPECT_EQ(Hex(Md5Of(text.data(), text.size())), digest) << length;
        Md5 md5;
        md5.Update(text.data(), length - 1);
        md5.Update(text.data(), 1);
        EXPECT_EQ(Hex(md5.Final()), digest) << length << " in two pieces";
    }
}

TEST(Md5, ZeroPaddingIsTheSameAsZeroBytes) {
    for (uint64_t zeros : {0u, 1u, 55u, 64u, 5000u, 70000u}) {
        Md5 a, b;
        a.Update("xyz", 3);
        b.Update("xyz", 3);
        a.UpdateZeros(zeros);
        const std::string z(zeros, '\0');
        b.Update(z.data(), z.size());
        EXPECT_EQ(a.Final(), b.Final()) << zeros;
    }
}

TEST(Crc32, MatchesTheCheckValueAndContinues) {
    EXPECT_EQ(Crc32Update(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32Update(Crc32Update(0, "12345", 5), "6789", 4), 0xCBF43926u);
    const std::string zeros(10000, '\0');
    EXPECT_EQ(Crc32Zeros(Crc32Update(0, "ab", 2), 10000),
              Crc32Update(Crc32Update(0, "ab", 2), zeros.data(), zeros.size()));
}

TEST(Galois, ArithmeticOfTheField) {
    EXPECT_EQ(gf::Multiply(2, 0x8000), 0x100B);  // x^16 reduced by 0x1100B
    EXPECT_EQ(gf::Multiply(0, 1234), 0);
    EXPECT_EQ(gf::Multiply(1, 1234), 1234);
    EXPECT_EQ(gf::Power(2, 16), 0x100B);
    EXPECT_EQ(gf::Power(2, 65535), 1);  // the group's order
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        const auto a = static_cast<uint16_t>(random() % 65535 + 1);
        const auto b = static_cast<uint16_t>(random() % 65535 + 1);
        ASSERT_EQ(gf::Divide(gf::Multiply(a, b), b), a);
        ASSERT_EQ(gf::Multiply(a, gf::Divide(1, a)), 1);
        ASSERT_EQ(gf::Multiply(a, b), gf::Multiply(b, a));
    }
}

TEST(Galois, InputConstantsSkipExponentsThatShareAFactorWith65535) {
    // Exponents 1, 2, 4, 7, 8: 3, 5 and 6 share a factor with 3 * 5 * 17 * 257.
    EXPECT_EQ(gf::InputConstant(0), 2);
    EXPECT_EQ(gf::InputConstant(1), 4);
    EXPECT_EQ(gf::InputConstant(2), 16);
    EXPECT_EQ(gf::InputConstant(3), 128);
    EXPECT_EQ(gf::InputConstant(4), 256);
    EXPECT_NE(gf::InputConstant(32767), 0);
    EXPECT_EQ(gf::InputConstant(32768), 0);
}

TEST(Galois, TheFastKernelAgreesWithThePortableOne) {
    std::mt19937 random(11);
    for (size_t bytes : {0u, 2u, 62u, 64u, 66u, 1000u, 4102u, 65536u}) {
        for (uint16_t factor : {uint16_t(0), uint16_t(1), uint16_t(2), uint16_t(0x8000),
                                static_cast<uint16_t>(random())}) {
            std::vector<uint8_t> src(bytes), a(bytes), b(bytes), expected(bytes);
            for (size_t i = 0; i < bytes; ++i) src[i] = static_cast<uint8_t>(random());
            for (size_t i = 0; i < bytes; ++i) a[i] = b[i] = static_cast<uint8_t>(random());
            // Word by word with the log tables.
            for (size_t i = 0; i + 1 < bytes; i += 2) {
                const uint16_t w = uint16_t(src[i] | src[i + 1] << 8);
                const uint16_t r = uint16_t(a[i] | a[i + 1] << 8) ^ gf::Multiply(factor, w);
                expected[i] = static_cast<uint8_t>(r);
                expected[i + 1] = static_cast<uint8_t>(r >> 8);
            }
            gf::MultiplyAdd(a.data(), src.data(), bytes, factor);
            gf::MultiplyAddPortable(b.data(), src.data(), bytes, factor);
            ASSERT_EQ(a, expected)
                << bytes << " bytes, factor " << factor << ", " << gf::KernelName();
            ASSERT_EQ(b, expected) << bytes << " bytes, factor " << factor;
        }
    }
    std::vector<uint8_t> src = {0x00, 0x80}, dst = {0x34, 0x12};
    gf::MultiplyAdd(dst.data(), src.data(), 2, 2);  // 0x1234 ^ 2 * 0x8000
    EXPECT_EQ(dst, (std::vector<uint8_t>{0x34 ^ 0x0B, 0x12 ^ 0x10}));
}

// Input files held in memory.
class MemorySource : public InputSource {
  public:
    explicit MemorySource(std::vector<std::string> files) : files(std::move(files)) {}
    bool Read(size_t file, uint64_t offset, uint8_t* buffer, size_t count) override {
        ++reads;
        if (failAt == reads) return false;
        std::memcpy(buffer, files.at(file).data() + offset, count);
        return true;
    }
    std::vector<std::string> files;
    int reads = 0;
    int failAt = -1;
};

// Three files (one empty, one shorter than a slice, one of several slices
// with a short last one) with recovery data for `recovery` slices.
struct SmallSet {
    explicit SmallSet(uint32_t recovery, uint64_t sliceSize = 1024) {
        source.files = {test::RandomBytes(5000, 1), test::RandomBytes(300, 2), ""};
        names = {"package.001", "package.002", "package.003"};
        std::vector<InputFile> inputs;
        for (size_t i = 0; i < names.size(); ++i)
            inputs.push_back({names[i], source.files[i].size()});
        EXPECT_EQ(Describe(source, inputs, sliceSize, "Test", &description), Failure::None);
        for (size_t i = 0; i < names.size(); ++i) WriteFile(dir / names[i], source.files[i]);
        EXPECT_EQ(WriteIndexFile(platform::NativeFileSystem(), dir / "package.par2", description),
                  Failure::None);
        EXPECT_EQ(
            WriteRecoveryFiles(
                platform::NativeFileSystem(), source, description,
                {{dir / "package.vol0+1.par2", 0, 1},
                 {dir / "package.vol1+" + std::to_string(recovery - 1) + ".par2", 1, recovery - 1}},
                1 << 20),
            Failure::None);
    }
    RecoverySet Read() {
        RecoveryReader reader(platform::NativeFileSystem());
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
            if (e.path().extension() == ".par2") reader.ReadFile(e.path().string());
        }
        damaged = reader.damagedPackets();
        auto sets = reader.Sets();
        EXPECT_EQ(sets.size(), 1u);
        return sets.empty() ? RecoverySet() : sets[0];
    }
    TempDir dir;
    MemorySource source{{}};
    std::vector<std::string> names;
    SetDescription description;
    int damaged = 0;
};

TEST(RecoveryPackets, WhatIsWrittenIsReadBack) {
    SmallSet s(4);
    const RecoverySet set = s.Read();
    EXPECT_EQ(s.damaged, 0);
    EXPECT_EQ(set.setId, s.description.setId);
    EXPECT_EQ(set.sliceSize, 1024u);
    ASSERT_TRUE(set.Complete());
    ASSERT_EQ(set.files.size(), 3u);
    for (size_t i = 0; i + 1 < set.files.size(); ++i)
        EXPECT_TRUE(FileIdLess(set.files[i], set.files[i + 1]));
    for (size_t i = 0; i < 3; ++i) {
        const FileDescription& d = set.descriptions.at(s.description.files[i].fileId);
        EXPECT_EQ(d.name, s.names[i]);
        EXPECT_EQ(d.length, s.source.files[i].size());
        EXPECT_EQ(d.hashFull, Md5Of(s.source.files[i].data(), s.source.files[i].size()));
        EXPECT_EQ(set.checksums.at(d.fileId), s.description.slices[i]);
    }
    EXPECT_EQ(set.checksums.at(s.description.files[0].fileId).size(), 5u);
    EXPECT_EQ(set.checksums.at(s.description.files[2].fileId).size(), 0u);
    ASSERT_EQ(set.recovery.size(), 4u);
    EXPECT_EQ(set.recovery.begin()->first, 0u);
    // The packet layout: magic, length, MD5 of the rest, set ID, type.
    const std::string index = ReadFile(s.dir / "package.par2");
    EXPECT_EQ(index.substr(0, 8), std::string("PAR2\0PKT", 8));
    EXPECT_EQ(index.substr(48, 16), std::string(kTypeMain, 16));
    EXPECT_EQ(ReadFile(s.dir / "package.vol0+1.par2").size(), RecoveryFileSize(s.description, 1));
}

TEST(RecoveryPackets, DamagedPacketsAreLeftOutAndTheRestIsKept) {
    SmallSet s(2);
    const std::string path = s.dir / "package.vol1+1.par2";
    std::string bytes = ReadFile(path);
    // One byte of the recovery slice, at the very end: that packet goes.
    bytes[bytes.size() - 1] ^= 1;
    WriteFile(path, bytes);
    // The index loses its first packet (the main packet) to a flipped byte
    // and gains garbage in front; its other packets still count.
    std::string index = ReadFile(s.dir / "package.par2");
    index[70] ^= 0x40;
    WriteFile(s.dir / "package.par2", "garbage PAR2" + index);
    const RecoverySet set = s.Read();
    EXPECT_EQ(s.damaged, 2);
    EXPECT_TRUE(set.Complete());  // the recovery files repeat every critical packet
    EXPECT_EQ(set.recovery.size(), 1u);
    EXPECT_EQ(set.recovery.count(0), 1u);
}

TEST(RecoveryPackets, HostileFilesAreRefusedWithoutHarm) {
    TempDir dir;
    const std::string magic("PAR2\0PKT", 8);
    auto le = [](uint64_t v) {
        std::string out;
        for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
        return out;
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty", ""},
        {"only magic", magic},
        {"length beyond the file", magic + le(1ull << 62) + std::string(48, 'x')},
        {"length below a header", magic + le(8) + std::string(48, 'x')},
        {"length not a multiple of 4", magic + le(65) + std::string(53, 'x')},
        {"magic repeated", magic + magic + magic + std::string(100, '\0')},
    };
    for (const auto& [what, bytes] : cases) {
        WriteFile(dir / "x.par2", bytes);
        RecoveryReader reader(platform::NativeFileSystem());
        EXPECT_TRUE(reader.ReadFile(dir / "x.par2")) << what;
        EXPECT_TRUE(reader.Sets().empty()) << what;
    }
    // A main packet whose checksum holds but whose set ID is not its body's
    // MD5, and one with a slice size of 0.
    Md5Digest wrong{};
    wrong[0] = 1;
    std::vector<Md5Digest> ids(1);
    WriteFile(dir / "y.par2", Packet(wrong, kTypeMain, MainBody(1024, ids)));
    const std::string zeroBody = MainBody(0, ids);
    WriteFile(dir / "z.par2", Packet(Md5Of(zeroBody.data(), zeroBody.size()), kTypeMain, zeroBody));
    for (const char* name : {"y.par2", "z.par2"}) {
        RecoveryReader reader(platform::NativeFileSystem());
        EXPECT_TRUE(reader.ReadFile(dir / name));
        EXPECT_TRUE(reader.Sets().empty()) << name;
        EXPECT_EQ(reader.damagedPackets(), 1) << name;
    }
    RecoveryReader reader(platform::NativeFileSystem());
    EXPECT_FALSE(reader.ReadFile(dir / "missing.par2"));
}

// Counts the bytes read through it.
class CountingFileSystem : public test::FaultyFileSystem {
  public:
    std::unique_ptr<platform::File> Open(const std::string& path,
                                         platform::OpenMode mode) override {
        auto file = test::FaultyFileSystem::Open(path, mode);
        if (!file) return file;
        return std::make_unique<Counted>(std::move(file), &bytesRead);
    }
    int64_t bytesRead = 0;

  private:
    class Counted : public platform::File {
      public:
        Counted(std::unique_ptr<platform::File> file, int64_t* count)
            : file_(std::move(file)), count_(count) {}
        int64_t Read(void* buffer, int64_t count) override {
            const int64_t n = file_->Read(buffer, count);
            if (n > 0) *count_ += n;
            return n;
        }
        int64_t Write(const void* buffer, int64_t count) override {
            return file_->Write(buffer, count);
        }
        bool Seek(int64_t position) override { return file_->Seek(position); }
        bool Flush() override { return file_->Flush(); }

      private:
        std::unique_ptr<platform::File> file_;
        int64_t* count_;
    };
};

TEST(RecoveryPackets, ManyFalseHeadersAreReadInLinearTime) {
    // Recovery slice headers one behind the other, each claiming the rest of
    // the file and failing its checksum: unbounded, each would be read whole.
    TempDir dir;
    std::string bytes;
    const size_t total = 1 << 20;
    while (bytes.size() + 64 <= total) {
        const uint64_t rest = total - bytes.size();
        std::string head("PAR2\0PKT", 8);
        for (int i = 0; i < 8; ++i) head.push_back(static_cast<char>(rest >> (8 * i)));
        bytes += head + std::string(32, 'x') + std::string(kTypeRecoverySlice, 16);
    }
    WriteFile(dir / "x.par2", bytes);
    CountingFileSystem fs;
    RecoveryReader reader(fs);
    EXPECT_TRUE(reader.ReadFile(dir / "x.par2"));
    EXPECT_TRUE(reader.Sets().empty());
    EXPECT_EQ(reader.damagedPackets(), static_cast<int>(total / 64));
    EXPECT_LT(fs.bytesRead, 20 * static_cast<int64_t>(total));
}

TEST(RecoveryPackets, RandomDamageNeverCrashes) {
    SmallSet s(3, 512);
    const std::string original = ReadFile(s.dir / "package.vol1+2.par2");
    std::mt19937 random(3);
    for (int round = 0; round < 300; ++round) {
        std::string bytes = original;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % bytes.size();
            switch (random() % 3) {
                case 0:
                    bytes[at] = static_cast<char>(random());
                    break;
                case 1:
                    bytes.resize(at);
                    break;
                default:
                    bytes.insert(at, std::string(1 + random() % 9, static_cast<char>(random())));
            }
            if (bytes.empty()) break;
        }
        WriteFile(s.dir / "fuzz.par2", bytes);
        RecoveryReader reader(platform::NativeFileSystem());
        reader.ReadFile(s.dir / "fuzz.par2");
        for (const RecoverySet& set : reader.Sets()) {
            EXPECT_EQ(set.setId, s.description.setId);
            EXPECT_LE(set.recovery.size(), 2u);
        }
    }
}

TEST(Rebuild, LostAndDamagedFilesComeBackByteForByte) {
    SmallSet s(4);
    RecoverySet set = s.Read();
    // package.001 damaged in two slices, package.002 lost: 2 + 1 slices.
    std::string damaged = s.source.files[0];
    damaged[10] ^= 1;
    damaged[4500] ^= 1;
    WriteFile(s.dir / "package.001", damaged);
    std::filesystem::remove(s.dir / "package.002");

    std::vector<std::string> paths(set.files.size());
    std::vector<RebuildFile> targets;
    for (size_t f = 0; f < set.files.size(); ++f) {
        const FileDescription& d = set.descriptions.at(set.files[f]);
        paths[f] = s.dir / d.name;
        const FileCheck check = CheckFile(platform::NativeFileSystem(), paths[f], d,
                                          set.checksums.at(set.files[f]), set.sliceSize);
        if (d.name == "package.001") {
            EXPECT_EQ(check.state, FileCheck::State::Damaged);
            EXPECT_EQ(check.goodSlices, (std::vector<bool>{false, true, true, true, false}));
        } else if (d.name == "package.002") {
            EXPECT_EQ(check.state, FileCheck::State::Missing);
        } else {
            EXPECT_EQ(check.state, FileCheck::State::Intact);
        }
        if (check.state != FileCheck::State::Intact) {
            targets.push_back({f, check.state == FileCheck::State::Damaged ? paths[f] : "",
                               check.goodSlices, paths[f] + ".new", nullptr});
        }
    }
    ASSERT_EQ(Rebuild(platform::NativeFileSystem(), set, paths, targets, 4096),
              RebuildResult::Done);
    EXPECT_EQ(ReadFile(s.dir / "package.001.new"), s.source.files[0]);
    EXPECT_EQ(ReadFile(s.dir / "package.002.new"), s.source.files[1]);

    // One more lost slice than recovery slices: refused, nothing written.
    std::filesystem::remove(s.dir / "package.001.new");
    std::filesystem::remove(s.dir / "package.002.new");
    set.recovery.erase(set.recovery.begin());
    set.recovery.erase(set.recovery.begin());
    EXPECT_EQ(Rebuild(platform::NativeFileSystem(), set, paths, targets, 4096),
              RebuildResult::NotEnoughRecovery);
    EXPECT_FALSE(test::FileExists(s.dir / "package.001.new"));
    EXPECT_FALSE(test::FileExists(s.dir / "package.002.new"));
}

TEST(Rebuild, AFailureAtAnyStepLeavesNoFileBehind) {
    SmallSet s(2);
    const RecoverySet set = s.Read();
    std::vector<std::string> paths(set.files.size());
    std::vector<RebuildFile> targets;
    // package.002 lost: one slice, rebuilt from the others and 2 recovery slices.
    for (size_t f = 0; f < set.files.size(); ++f) {
        paths[f] = s.dir / set.descriptions.at(set.files[f]).name;
        if (set.descriptions.at(set.files[f]).name == "package.002")
            targets.push_back({f, "", {}, paths[f] + ".new", nullptr});
    }
    test::FaultyFileSystem fs;
    fs.syncToMedium = false;
    ASSERT_EQ(Rebuild(fs, set, paths, targets, 4096), RebuildResult::Done);
    for (test::Fault fault : {test::Fault::OpenFails, test::Fault::ReadFails,
                              test::Fault::ShortWrite, test::Fault::FlushFails}) {
        fs.Disarm();
        fs.ResetCounts();
        std::filesystem::remove(paths[targets[0].file] + ".new");
        ASSERT_EQ(Rebuild(fs, set, paths, targets, 4096), RebuildResult::Done);
        const int calls = fs.Calls(fault);
        for (int nth = 1; nth <= calls; ++nth) {
            std::filesystem::remove(paths[targets[0].file] + ".new");
            fs.ResetCounts();
            fs.Arm(fault, nth);
            EXPECT_NE(Rebuild(fs, set, paths, targets, 4096), RebuildResult::Done);
            EXPECT_FALSE(test::FileExists(paths[targets[0].file] + ".new"));
        }
    }
}

TEST(Creator, AFailedReadOrWriteLeavesNoRecoveryFile) {
    SmallSet s(2);
    s.source.reads = 0;
    s.source.failAt = 3;
    const std::string path = s.dir / "again.vol0+2.par2";
    EXPECT_EQ(WriteRecoveryFiles(platform::NativeFileSystem(), s.source, s.description,
                                 {{path, 0, 2}}, 4096),
              Failure::Read);
    EXPECT_FALSE(test::FileExists(path));
    test::FaultyFileSystem fs;
    fs.syncToMedium = false;
    fs.Arm(test::Fault::ShortWrite, 2);
    s.source.failAt = -1;
    EXPECT_EQ(WriteRecoveryFiles(fs, s.source, s.description, {{path, 0, 2}}, 4096),
              Failure::Write);
    EXPECT_FALSE(test::FileExists(path));
}

// The reader keeps 64 KiB of a file in view; a packet that begins in its
// last bytes (its header straddling the edge) is found all the same.
TEST(RecoveryPackets, APacketStartingAtTheEndOfTheReadersWindowIsFound) {
    const std::string file = test::MakeRecoveryFile({{"a", "abcdefgh"}}, 8, 1);
    ASSERT_FALSE(file.empty());
    TempDir dir;
    for (size_t before : {1u, 4u, 7u, 8u, 9u, 63u, 64u, 65u}) {
        // Zeros end exactly `before` bytes before the window's edge.
        WriteFile(dir / "r.par2", std::string(65536 - before, 'z') + file);
        RecoveryReader reader(platform::NativeFileSystem());
        ASSERT_TRUE(reader.ReadFile(dir / "r.par2"));
        const auto sets = reader.Sets();
        ASSERT_EQ(sets.size(), 1u) << before;
        EXPECT_TRUE(sets[0].Complete()) << before;
        EXPECT_EQ(sets[0].recovery.size(), 1u) << before;
    }
}

// A recovery slice whose checksum holds but whose size is not the set's is
// of no use; listed before a good copy of the same slice, it must not hide it.
TEST(RecoveryPackets, ASliceOfTheWrongSizeNeitherCountsNorHidesAGoodCopy) {
    const test::NamedBytes files = {{"a", test::RandomBytes(20, 1)}};
    const std::string good = test::MakeRecoveryFile(files, 8, 3);  // 3 slices, 3 recovery
    TempDir dir;
    RecoveryReader probe(platform::NativeFileSystem());
    WriteFile(dir / "probe.par2", good);
    ASSERT_TRUE(probe.ReadFile(dir / "probe.par2"));
    const Md5Digest setId = probe.Sets().at(0).setId;
    for (const std::string& wrong : {std::string(4, 'w'), std::string(12, 'w')}) {
        WriteFile(dir / "r.par2", test::RecoveryPacket(setId, 0, wrong) +
                                      test::RecoveryPacket(setId, 5, wrong) + good);
        RecoveryReader reader(platform::NativeFileSystem());
        ASSERT_TRUE(reader.ReadFile(dir / "r.par2"));
        const RecoverySet set = reader.Sets().at(0);
        EXPECT_EQ(set.recovery.size(), 3u) << wrong.size();
        EXPECT_EQ(set.recovery.count(5), 0u);
        // Exponent 0 is the good copy behind the wrong one: a rebuild with it holds.
        const std::string path = dir / "a";
        std::vector<RebuildFile> targets = {{0, "", {}, dir / "a.new", nullptr}};
        ASSERT_EQ(Rebuild(platform::NativeFileSystem(), set, {path}, targets, 1 << 20),
                  RebuildResult::Done);
        EXPECT_EQ(ReadFile(dir / "a.new"), files[0].second);
        std::filesystem::remove(dir / "a.new");
    }
}

// A crafted set of thousands of tiny missing slices: refused at once when
// its equations do not fit the budget; solved within it otherwise, with
// progress through the solve, and stopped at the next step when asked.
TEST(Rebuild, ManyTinySlicesAreRefusedOrSolvedWithinTheBudgetAndStopWhenAsked) {
    TempDir dir;
    struct Case {
        uint32_t slices;
        uint64_t budget;
        RebuildResult result;
    };
    const std::vector<Case> cases = {
        {8000, 40u << 20, RebuildResult::TooManyUnknowns},
        {300, 1u << 20, RebuildResult::Stopped},
    };
    EXPECT_GE(MaxUnknowns(40u << 20), 4000u);
    EXPECT_LT(MaxUnknowns(40u << 20), 8000u);
    for (const Case& c : cases) {
        WriteFile(dir / "r.par2", test::ManyTinySlices("package.001", c.slices));
        RecoveryReader reader(platform::NativeFileSystem());
        ASSERT_TRUE(reader.ReadFile(dir / "r.par2"));
        const RecoverySet set = reader.Sets().at(0);
        ASSERT_EQ(set.recovery.size(), c.slices);
        std::vector<RebuildFile> targets = {{0, "", {}, dir / "package.001.new", nullptr}};
        std::atomic<bool> stop{false};
        int calls = 0;
        int callsAfterStop = 0;
        uint64_t firstDone = 0;
        uint64_t total = 0;
        const auto progress = [&](uint64_t done, uint64_t all) {
            if (stop) ++callsAfterStop;
            if (++calls == 1) firstDone = done;
            total = all;
            // Half way through the inversion.
            if (calls == int(c.slices) / 2) stop = true;
        };
        EXPECT_EQ(
            Rebuild(platform::NativeFileSystem(), set, {""}, targets, c.budget, progress, &stop),
            c.result)
            << c.slices;
        EXPECT_FALSE(test::FileExists(dir / "package.001.new"));
        if (c.result == RebuildResult::Stopped) {
            // One report per column of the inversion, each a small share of the work.
            EXPECT_EQ(calls, int(c.slices) / 2);
            EXPECT_EQ(callsAfterStop, 0);
            EXPECT_LT(firstDone * 100, total);
        } else {
            EXPECT_EQ(calls, 0);
        }
    }
}

}  // namespace
}  // namespace tolvane::par2
