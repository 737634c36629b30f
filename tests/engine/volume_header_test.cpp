#include "engine/volume_header.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/texts.h"
#include "tests/support/test_support.h"

namespace tolvane {
namespace {

using test::Fixture;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// 1998-03-06 15:12:05.000 UTC, a Friday.
constexpr int64_t kExampleTime = 889197125;

// A string literal with its embedded 0 bytes.
template <size_t N>
std::string L(const char (&s)[N]) {
    return std::string(s, N - 1);
}

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

const std::string kExampleHeader =
    Bytes({0x50, 0x41, 0x43, 0x4b, 0x00, 0x30, 0x30, 0x30, 0x31, 0x00, 0x30, 0x30, 0x30,
           0x31, 0x00, 0x30, 0x30, 0x30, 0x31, 0x00, 0x35, 0x00, 0x31, 0x34, 0x34, 0x31,
           0x37, 0x39, 0x32, 0x00, 0x61, 0x2e, 0x74, 0x78, 0x74, 0x00, 0x35, 0x00, 0xce,
           0x07, 0x03, 0x05, 0x06, 0x0f, 0x0c, 0x05, 0x00, 0x00, 0x00, 0x00});

TEST(VolumeHeader, WorkedExampleIsWrittenByteForByte) {
    TempDir dir;
    WriteFile(dir / "a.txt", "hello");
    test::SetMtime(dir / "a.txt", kExampleTime);
    Fixture f;
    f.set.sourceDir = dir.path();
    f.set.AddFile("a.txt");
    f.settings.volumeCount = 1;
    EXPECT_EQ(f.set.CalcHeaderSize(), 50);
    ASSERT_EQ(f.set.makeHeader(dir / "package.001", 1), 1);
    EXPECT_EQ(ReadFile(dir / "package.001"), kExampleHeader);
    EXPECT_TRUE(f.display.messages.empty());
}

TEST(VolumeHeader, ReadHeaderFillsSetFromWorkedExample) {
    TempDir dir;
    WriteFile(dir / "package.001", kExampleHeader + "hello");
    Fixture f;
    f.settings.packagePath = dir / "package.001";
    f.settings.volumeSize = 1;
    ASSERT_EQ(f.set.readHeader(), 1);
    EXPECT_EQ(f.settings.volumeCount, 1);
    EXPECT_EQ(f.settings.volumeSize, 1441792);
    EXPECT_EQ(f.settings.selfExtracting, 0);
    EXPECT_EQ(f.set.fileCount, 1);
    EXPECT_EQ(f.set.totalSize, 5);
    ASSERT_NE(f.set.head, nullptr);
    EXPECT_EQ(f.set.head->path, "/a.txt");
    EXPECT_EQ(f.set.current, f.set.head);
    const platform::SystemTime expected{1998, 3, 5, 6, 15, 12, 5, 0};
    EXPECT_EQ(f.set.head->lastWrite, expected);
    EXPECT_EQ(f.set.CalcHeaderSize(), 50);
}

// Random sets survive a write and a read unchanged, whatever their sizes and times.
TEST(VolumeHeader, RandomSetsRoundTrip) {
    std::mt19937_64 rng(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<RecordSource> records;
        int64_t total = 0;
        const int count = static_cast<int>(rng() % 12);
        for (int i = 0; i < count; ++i) {
            RecordSource r;
            r.name = "f" + std::to_string(i) + (i % 3 == 0 ? "-Größe.txt" : ".bin");
            r.size = (rng() % 4 == 0) ? static_cast<int64_t>(rng() % (1ULL << 40)) : rng() % 1000;
            r.lastWrite = platform::SystemTimeFromUnix(static_cast<int64_t>(rng() % 4000000000ULL),
                                                       (rng() % 1000) * 1000000);
            total += r.size;
            records.push_back(r);
        }
        const int64_t volumeSize = 70000 + static_cast<int64_t>(rng() % 100000000);
        const std::string header =
            BuildHeader(round % 2 ? 'E' : 'K', 3, 17, total, volumeSize, records);
        ASSERT_EQ(static_cast<int64_t>(header.size()), HeaderLength(total, volumeSize, records));
        const auto* data = reinterpret_cast<const uint8_t*>(header.data());
        FixedHead head;
        ASSERT_TRUE(ParseFixedHead(data, header.size(), &head));
        EXPECT_EQ(head.magicLetter, round % 2 ? 'E' : 'K');
        EXPECT_EQ(head.volumeNumber, 3);
        EXPECT_EQ(head.volumeCount, 17);
        EXPECT_EQ(head.fileCount, count);
        TextPart text;
        ASSERT_TRUE(ParseTextPart(data + 20, header.size() - 20, count, &text));
        EXPECT_EQ(text.totalSize, total);
        EXPECT_EQ(text.volumeSize, volumeSize);
        ASSERT_EQ(text.records.size(), records.size());
        for (size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(text.records[i].name, records[i].name);
            EXPECT_EQ(text.records[i].size, records[i].size);
            EXPECT_EQ(text.records[i].lastWrite, records[i].lastWrite);
        }
    }
}

TEST(VolumeHeader, TimeRecordWithZeroBytesKeepsItsWidth) {
    // A Sunday at midnight with 0 ms: the record holds several 0 bytes.
    RecordSource r{"x", 5000000000LL, {2023, 1, 0, 1, 0, 0, 0, 0}};
    const std::string header = BuildHeader('K', 1, 1, r.size, 1441792, {r});
    EXPECT_EQ(header.size(), 20u + 11 + 8 + 2 + 11 + 11 + 1);
    TextPart text;
    ASSERT_TRUE(ParseTextPart(reinterpret_cast<const uint8_t*>(header.data()) + 20,
                              header.size() - 20, 1, &text));
    EXPECT_EQ(text.records[0].size, 5000000000LL);
    EXPECT_EQ(text.records[0].lastWrite.dayOfWeek, 0);
}

TEST(VolumeHeader, SlotTwoWithFourDigitsIsTakenWhole) {
    std::string header = kExampleHeader;
    header.replace(10, 4, "1234");
    FixedHead head;
    ASSERT_TRUE(ParseFixedHead(reinterpret_cast<const uint8_t*>(header.data()), 20, &head));
    EXPECT_EQ(head.volumeCount, 1234);
}

// Damaged and hostile headers are "not a volume", never a crash or an entry.
TEST(VolumeHeader, HostileFixedHeadsAreRefused) {
    const std::vector<std::string> heads = {
        "PACKED" + std::string(14, '0'),        // byte 4 not 0
        kExampleHeader.substr(0, 19),           // too short
        "PACX" + kExampleHeader.substr(4, 16),  // unknown magic letter
        "XACK" + kExampleHeader.substr(4, 16),
    };
    for (const std::string& h : heads) {
        FixedHead head;
        EXPECT_FALSE(ParseFixedHead(reinterpret_cast<const uint8_t*>(h.data()), h.size(), &head));
    }
    for (const char* slot : {"12a4", "-001", "   1", "12\0\0"}) {
        std::string h = kExampleHeader.substr(0, 20);
        h.replace(15, 4, std::string(slot, 4));
        FixedHead head;
        EXPECT_FALSE(ParseFixedHead(reinterpret_cast<const uint8_t*>(h.data()), 20, &head)) << slot;
    }
}

TEST(VolumeHeader, HostileTextPartsAreRefused) {
    const std::string time(11, '\x01');
    const std::vector<std::pair<std::string, int>> cases = {
        {L("5\0001441792\0a.txt\0005\0") + time.substr(0, 5), 1},  // cut record
        {L("5\0001441792\0a.txt\0"), 1},                           // no size
        {L("-5\0001441792\0a\0-5\0") + time, 1},                   // negative
        {L("6\0001441792\0a\0005\0") + time, 1},                   // sum != total
        {L("5\0001441792\0\0005\0") + time, 1},                    // empty name
        {L("5\0001441792\0.\0005\0") + time, 1},
        {L("5\0001441792\0..\0005\0") + time, 1},
        {L("5\0001441792\0d/a\0005\0") + time, 1},
        {L("5\0001441792\0d\\a\0005\0") + time, 1},
        {L("5\0000\0a\0005\0") + time, 1},         // volume size 0
        {L("5\0001441792\0a\0005x\0") + time, 1},  // not decimal
        {L("99999999999999999999\0001\0"), 0},     // overflow
        {L("5\0001441792"), 0},                    // unterminated
    };
    for (const auto& [bytes, count] : cases) {
        TextPart parsed;
        EXPECT_FALSE(ParseTextPart(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                   count, &parsed))
            << testing::PrintToString(bytes);
    }
}

// Every prefix of a valid header is refused by the parse, which never reads
// past the bytes it was given (the sanitizer build checks the reads).
TEST(VolumeHeader, TruncatedHeadersAreRefusedAtEveryLength) {
    const std::string header = BuildHeader('K', 1, 2, 30, 1441792,
                                           {{"one.txt", 10, {2001, 2, 4, 1, 3, 4, 5, 6}},
                                            {"two.txt", 20, {2002, 2, 4, 1, 3, 4, 5, 6}}});
    for (size_t cut = 20; cut + 1 < header.size(); ++cut) {
        std::vector<uint8_t> copy(header.begin() + 20, header.begin() + static_cast<long>(cut));
        TextPart parsed;
        EXPECT_FALSE(ParseTextPart(copy.data(), copy.size(), 2, &parsed)) << cut;
    }
}

TEST(VolumeHeader, ReadHeaderRefusesTextFileAndEmptiesPackagePath) {
    TempDir dir;
    WriteFile(dir / "notes.txt", "This is just a text file, long enough to hold a head.\n");
    Fixture f;
    f.settings.packagePath = dir / "notes.txt";
    EXPECT_EQ(f.set.readHeader(), 0);
    ASSERT_EQ(f.display.messages.size(), 1u);
    EXPECT_EQ(f.display.messages[0].text, texts::kNotAPackage);
    EXPECT_EQ(f.display.messages[0].caption, "QuellDateien::readHeader::IsPackage");
    EXPECT_EQ(f.display.messages[0].icon, Icon::Warning);
    EXPECT_TRUE(f.settings.packagePath.empty());
    EXPECT_EQ(f.set.head, nullptr);
    EXPECT_EQ(f.set.fileCount, 0);
}

TEST(VolumeHeader, ReadHeaderReportsMissingFile) {
    Fixture f;
    f.settings.packagePath = "/nonexistent/package.001";
    EXPECT_EQ(f.set.readHeader(), 0);
    ASSERT_EQ(f.display.messages.size(), 1u);
    EXPECT_EQ(f.display.messages[0].text, "Eine benötigte Datei wurde nicht gefunden!");
    EXPECT_EQ(f.display.messages[0].caption, "QuellDateien::readHeader::open");
    EXPECT_EQ(f.display.messages[0].owner, Owner::MainWindow);
}

TEST(VolumeHeader, SelfExtractingFirstVolumeHasStubAreaAndIsReadBehindIt) {
    TempDir dir;
    const std::string robot = test::RobotImage(40000, 1);
    WriteFile(dir / "Robot.dat", robot);
    WriteFile(dir / "a.txt", "hello");
    Fixture f;
    f.set.sourceDir = dir.path() + "/";
    f.set.AddFile("a.txt");
    f.settings.selfExtracting = 1;
    f.settings.volumeCount = 2;
    f.settings.robotPath = dir / "Robot.dat";
    ASSERT_EQ(f.set.makeHeader(dir / "PACKAGE.EXE", 1), 1);
    ASSERT_EQ(f.set.makeHeader(dir / "PACKAGE.002", 2), 1);
    const std::string first = ReadFile(dir / "PACKAGE.EXE");
    const std::string second = ReadFile(dir / "PACKAGE.002");
    ASSERT_EQ(first.size(), 66560 + second.size());
    EXPECT_EQ(first.substr(0, robot.size()), robot);
    EXPECT_EQ(first.substr(robot.size(), 66560 - robot.size()),
              std::string(66560 - robot.size(), '\0'));
    EXPECT_EQ(second.substr(0, 4), "PACE");
    // Only slot 1 differs between the volumes.
    std::string a = first.substr(66560), b = second;
    EXPECT_EQ(a.substr(5, 4), "0001");
    EXPECT_EQ(b.substr(5, 4), "0002");
    a.replace(5, 4, "xxxx");
    b.replace(5, 4, "xxxx");
    EXPECT_EQ(a, b);

    Fixture r;
    r.settings.packagePath = dir / "PACKAGE.EXE";
    ASSERT_EQ(r.set.readHeader(), 1);
    EXPECT_EQ(r.settings.selfExtracting, 1);
    EXPECT_EQ(r.settings.volumeCount, 2);
    EXPECT_EQ(r.set.head->path, "/a.txt");
}

TEST(VolumeHeader, RobotImageProblemsAreReported) {
    TempDir dir;
    WriteFile(dir / "a.txt", "hello");
    Fixture f;
    f.set.sourceDir = dir.path();
    f.set.AddFile("a.txt");
    f.settings.selfExtracting = 1;
    f.settings.robotPath = dir / "Robot.dat";
    EXPECT_EQ(f.set.makeHeader(dir / "package.exe", 1), 0);
    WriteFile(dir / "Robot.dat", test::RobotImage(66561, 4));
    EXPECT_EQ(f.set.makeHeader(dir / "package.exe", 1), 0);
    WriteFile(dir / "Robot.dat", "");
    EXPECT_EQ(f.set.makeHeader(dir / "package.exe", 1), 0);
    ASSERT_EQ(f.display.messages.size(), 3u);
    EXPECT_EQ(f.display.messages[0].text, "Die Datei robot.dat wurde nicht gefunden");
    EXPECT_EQ(f.display.messages[0].caption, "QuellDateien::makeHeader (OPEN)");
    EXPECT_EQ(f.display.messages[1].text, "Die Datei robot.dat ist beschädigt");
    EXPECT_EQ(f.display.messages[1].caption, "QuellDateien::makeHeader (READ)");
    EXPECT_EQ(f.display.messages[2].caption, "QuellDateien::makeHeader (READ)");
    // The image is checked before the volume is created.
    EXPECT_FALSE(test::FileExists(dir / "package.exe"));
    // An image of exactly the stub area's length fills it.
    WriteFile(dir / "Robot.dat", test::RobotImage(66560, 4));
    EXPECT_EQ(f.set.makeHeader(dir / "package.exe", 1), 1);
}

TEST(VolumeHeader, LongNamesAreWrittenWhole) {
    TempDir dir;
    const std::string name(250, 'n');
    WriteFile(dir / name, "x");
    Fixture f;
    f.set.sourceDir = dir.path();
    for (int i = 0; i < 1; ++i) f.set.AddFile(name);
    const int64_t size = f.set.CalcHeaderSize();
    ASSERT_EQ(f.set.makeHeader(dir / "package.001", 1), 1);
    EXPECT_EQ(static_cast<int64_t>(ReadFile(dir / "package.001").size()), size);
}

TEST(HeaderNames, Windows1252WhenEveryCharacterFitsElseUtf8) {
    EXPECT_EQ(EncodeHeaderName("Größe.txt"),
              "Gr\xF6\xDF"
              "e.txt");
    EXPECT_EQ(EncodeHeaderName("€uro"), "\x80uro");
    EXPECT_EQ(EncodeHeaderName("日本.txt"), "日本.txt");
    EXPECT_EQ(DecodeHeaderName("Gr\xF6\xDF"
                               "e.txt"),
              "Größe.txt");
    EXPECT_EQ(DecodeHeaderName("\x80uro"), "€uro");
    EXPECT_EQ(DecodeHeaderName("日本.txt"), "日本.txt");
    EXPECT_EQ(DecodeHeaderName("plain"), "plain");
    for (const std::string name : {"Äpfel und Öl.doc", "naïve café", "日本.txt", "a"}) {
        EXPECT_EQ(DecodeHeaderName(EncodeHeaderName(name)), name);
    }
}

TEST(VolumeNames, LastThreeCharactersAreReplaced) {
    EXPECT_EQ(VolumeName("/media/a/package.001", 12, false), "/media/a/package.012");
    EXPECT_EQ(VolumeName("/media/a/package.exe", 2, true), "/media/a/package.002");
    EXPECT_EQ(VolumeName("/media/a/package.001", 1, true), "/media/a/package.exe");
    EXPECT_TRUE(IsSelfExtractingFirstVolumeName("/x/PACKAGE.EXE"));
    EXPECT_TRUE(IsSelfExtractingFirstVolumeName("package.exe"));
    EXPECT_FALSE(IsSelfExtractingFirstVolumeName("package.001"));
    EXPECT_FALSE(IsSelfExtractingFirstVolumeName("exe"));
}

}  // namespace
}  // namespace tolvane

namespace tolvane {
namespace {

// A Windows-1252 name whose bytes happen to be valid UTF-8 ("Ã¤" is C3 A4) is
// read as "ä"; the header written again must still hold the original bytes,
// or its length, and so every data offset, would change.
TEST(VolumeHeader, NamesReadBackAreWrittenAgainWithTheirOriginalBytes) {
    test::TempDir dir;
    RecordSource r{"", 3, {2004, 5, 1, 3, 4, 5, 6, 7}, "\xC3\xA4.txt"};
    const std::string header = BuildHeader('K', 1, 1, 3, 1441792, {r});
    test::WriteFile(dir / "package.001", header + "abc");
    test::Fixture f;
    f.settings.packagePath = dir / "package.001";
    ASSERT_EQ(f.set.readHeader(), 1);
    EXPECT_EQ(f.set.head->Name(), "ä.txt");
    EXPECT_EQ(f.set.CalcHeaderSize(), static_cast<int64_t>(header.size()));
    ASSERT_EQ(f.set.makeHeader(dir / "again.001", 1), 1);
    EXPECT_EQ(test::ReadFile(dir / "again.001"), header);
}

}  // namespace
}  // namespace tolvane
