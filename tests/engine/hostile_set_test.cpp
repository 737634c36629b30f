// Sets that must never be restored as they are: damaged header numbers, a
// volume of another set, names the target cannot take, targets with a
// second name. Each is refused with its exact text before a byte is written
// (or at the retry question), and the good set beside it still restores.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/drivers.h"
#include "engine/extractor.h"
#include "engine/repair.h"
#include "engine/robot_image.h"
#include "engine/texts.h"
#include "engine/volume_header.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/test_support.h"

namespace tolvane {
namespace {

using test::MemoryFileSystem;
using test::RecordingDisplay;

const platform::SystemTime kTime{2020, 5, 1, 1, 10, 20, 30, 400};

struct StoredFile {
    std::string name;
    std::string bytes;
    platform::SystemTime time = kTime;
};

// The volumes the split writer makes of files, cut at volumeSize.
std::vector<std::string> MakeVolumes(const std::vector<StoredFile>& files, int64_t volumeSize) {
    std::vector<RecordSource> records;
    std::string stream;
    for (const StoredFile& f : files) {
        records.push_back({f.name, static_cast<int64_t>(f.bytes.size()), f.time});
        stream += f.bytes;
    }
    const int64_t total = static_cast<int64_t>(stream.size());
    const size_t capacity =
        static_cast<size_t>(volumeSize - HeaderLength(total, volumeSize, records));
    const int count = std::max<int>(1, static_cast<int>((stream.size() + capacity - 1) / capacity));
    std::vector<std::string> volumes;
    for (int n = 1; n <= count; ++n) {
        volumes.push_back(BuildHeader('K', n, count, total, volumeSize, records) +
                          stream.substr((n - 1) * capacity, capacity));
    }
    return volumes;
}

// An archive set over an in-memory file system, restoring /arc/package.001
// into /out.
struct MemoryRestore {
    MemoryFileSystem fs;
    ArchiveSettings settings;
    RecordingDisplay display;
    QuellDateien set{settings, fs, display};

    void PutVolumes(const std::vector<std::string>& volumes) {
        for (size_t i = 0; i < volumes.size(); ++i) {
            fs.Put(VolumeName("/arc/package.001", static_cast<int>(i) + 1, false), volumes[i]);
        }
    }
    bool ReadHeader() {
        settings.packagePath = "/arc/package.001";
        if (!set.readHeader()) return false;
        set.CalcHeaderSize();
        settings.targetPath = "/out";
        settings.currentVolume = 1;
        return true;
    }
    std::vector<std::string> Outputs() const {
        std::vector<std::string> names;
        for (const auto& [path, node] : fs.files()) {
            if (path.rfind("/out/", 0) == 0) names.push_back(path);
        }
        return names;
    }
};

const std::vector<StoredFile> kFiles = {{"erste.bin", test::RandomBytes(300, 1)},
                                        {"zweite.bin", test::RandomBytes(50, 2)},
                                        {"leer", ""}};

TEST(HostileSet, TheGoodSetRestoresByteForByte) {
    MemoryRestore r;
    r.PutVolumes(MakeVolumes(kFiles, 200));
    ASSERT_TRUE(r.ReadHeader());
    EXPECT_EQ(RestoreAllVolumes(r.set), DriveOutcome::Finished);
    for (const StoredFile& f : kFiles) {
        std::string restored;
        ASSERT_TRUE(r.fs.Get("/out/" + f.name, &restored)) << f.name;
        EXPECT_TRUE(restored == f.bytes) << f.name;
    }
    EXPECT_TRUE(r.display.messages.empty());
}

// One damaged byte (or a number in another spelling) in the header: "not a
// volume", never data at a shifted offset.
TEST(HostileSet, HeaderNumbersMustStandAsTheWriterWritesThem) {
    const std::string good = MakeVolumes({{"x.txt", "hello"}}, 1441792)[0];
    const std::string withEmpty = MakeVolumes({{"x.txt", "hello"}, {"leer", ""}}, 1441792)[0];
    auto replaced = [](std::string s, const std::string& from, const std::string& to) {
        const size_t at = s.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return s.replace(at, from.size(), to);
    };
    using namespace std::string_literals;
    std::vector<std::pair<const char*, std::string>> cases = {
        {"volume size with a leading zero", replaced(good, "1441792"s, "0441792"s)},
        {"total with a leading zero", replaced(good,
                                               "\0"s
                                               "5\0"s,
                                               "\0"s
                                               "05\0"s)},
        {"total with a plus", replaced(good,
                                       "\0"s
                                       "5\0"s,
                                       "\0"s
                                       "+5\0"s)},
        {"size of an empty file as -0", replaced(withEmpty,
                                                 "leer\0"s
                                                 "0\0"s,
                                                 "leer\0"s
                                                 "-0\0"s)},
        {"file count one too small", replaced(withEmpty, "0002"s, "0001"s)},
        {"closing 0 missing", good.substr(0, good.size() - 6) + "x" + good.substr(good.size() - 5)},
    };
    std::string timeRecordEnd = good;
    timeRecordEnd[good.size() - 7] = 1;  // the last byte of the time record
    cases.push_back({"time record not ending in 0", timeRecordEnd});
    for (const auto& [what, bytes] : cases) {
        MemoryRestore r;
        r.fs.Put("/arc/package.001", bytes);
        EXPECT_FALSE(r.ReadHeader()) << what;
        ASSERT_EQ(r.display.messages.size(), 1u) << what;
        EXPECT_EQ(r.display.messages[0].text,
                  "Die von Ihnen ausgewählte Datei ist keine mit Tolvane erzeugte Datei.\n"
                  "Bitte wählen sie eine andere Datei aus!");
        EXPECT_EQ(r.display.messages[0].caption, "QuellDateien::readHeader::IsPackage");
        EXPECT_TRUE(r.fs.written().empty()) << what;
    }
    MemoryRestore r;
    r.fs.Put("/arc/package.001", good);
    EXPECT_TRUE(r.ReadHeader());
}

// A volume 2 of another set of the same geometry (two nightly backups of the
// same files): the retry question names volume 2, and nothing of it is mixed
// into the files.
TEST(HostileSet, AVolumeOfAnotherSetTakesTheRetryQuestion) {
    std::vector<StoredFile> otherTime = kFiles;
    otherTime[2].time.second = 31;
    std::vector<StoredFile> otherContents = kFiles;
    otherContents[0].bytes = test::RandomBytes(300, 9);
    otherContents[1].time.year = 2021;
    std::vector<StoredFile> otherNames = kFiles;
    otherNames[1].name = "zweite.dat";
    std::vector<StoredFile> longerName = kFiles;
    longerName[1].name = "zweite1.bin";
    longerName[1].bytes.pop_back();  // the stream keeps its length
    longerName[0].bytes += "x";
    const std::vector<std::pair<const char*, std::vector<StoredFile>>> others = {
        {"another time", otherTime},
        {"other contents and times", otherContents},
        {"another name of the same length", otherNames},
        {"a name one byte longer", longerName},
    };
    const std::vector<std::string> ours = MakeVolumes(kFiles, 200);
    for (const auto& [what, files] : others) {
        const std::vector<std::string> theirs = MakeVolumes(files, 200);
        ASSERT_EQ(theirs.size(), ours.size()) << what;
        MemoryRestore r;
        r.PutVolumes({ours[0], theirs[1]});
        ASSERT_TRUE(r.ReadHeader());
        EXPECT_EQ(RestoreAllVolumes(r.set), DriveOutcome::Cancelled) << what;
        ASSERT_EQ(r.display.questions.size(), 1u) << what;
        EXPECT_EQ(r.display.questions[0].text,
                  "Fehler bei Datenträger#: 2\nLetztes Package/Diskette wiederholen");
        EXPECT_TRUE(r.display.messages.empty()) << what;
        // What was restored before the foreign volume is ours alone.
        std::string first;
        ASSERT_TRUE(r.fs.Get("/out/erste.bin", &first));
        EXPECT_TRUE(kFiles[0].bytes.compare(0, first.size(), first) == 0) << what;
        EXPECT_FALSE(r.fs.Exists("/out/zweite.bin")) << what;
    }
}

// The last volume's header one byte longer than the set's: refused, although
// its counts and totals agree.
TEST(HostileSet, ALastVolumeWithALongerHeaderIsNotOfTheSet) {
    std::vector<std::string> volumes = MakeVolumes(kFiles, 200);
    std::string& last = volumes.back();
    const size_t name = last.find("leer");
    last.insert(name, "l");
    MemoryRestore r;
    r.PutVolumes(volumes);
    ASSERT_TRUE(r.ReadHeader());
    EXPECT_EQ(RestoreAllVolumes(r.set), DriveOutcome::Cancelled);
    EXPECT_EQ(r.display.questions.size(), 1u);
}

// Names the target cannot take are refused before anything is written; of
// several faults the one that comes first in the archive.
TEST(HostileSet, NamesThatCannotBeRestoredAreRefusedBeforeWriting) {
    const auto twice = [](const std::string& name) {
        return "Das Archiv enthält zwei Dateien namens „" + name +
               "“.\n"
               "Beim Entpacken würde die eine die andere überschreiben; es wird nichts entpackt.";
    };
    // Enough names that the lookup has to grow and probe past taken slots.
    std::vector<StoredFile> many;
    for (int n = 0; n < 300; ++n) many.push_back({"f" + std::to_string(n), "x"});
    many.push_back({"f17", "y"});
    const std::vector<std::pair<std::vector<StoredFile>, std::string>> cases = {
        {{{"d.txt", "12"}, {"d.txt", "34"}}, twice("d.txt")},
        {many, twice("f17")},
        {{{"p", "1"}, {"q", "2"}, {"q", "3"}, {"p", "4"}}, twice("q")},
        {{{"p", "1"}, {"p", "2"}, {"c\x01", "3"}}, twice("p")},
        {{{"p", "1"}, {"c\x01", "2"}, {"p", "3"}},
         "Der Dateiname „c\\x01“ im Archiv enthält Steuerzeichen.\n"
         "Die Datei kann nicht entpackt werden; es wird nichts entpackt."},
        {{{"ok", "1"}, {"x\n2 fake.txt 1.000.000", "2"}},
         "Der Dateiname „x\\x0a2 fake.txt 1.000.000“ im Archiv enthält Steuerzeichen.\n"
         "Die Datei kann nicht entpackt werden; es wird nichts entpackt."},
        {{{"\x1b[2Jclear", "1"}},
         "Der Dateiname „\\x1b[2Jclear“ im Archiv enthält Steuerzeichen.\n"
         "Die Datei kann nicht entpackt werden; es wird nichts entpackt."},
    };
    for (const auto& [files, text] : cases) {
        MemoryRestore r;
        r.PutVolumes(MakeVolumes(files, 100000));
        ASSERT_TRUE(r.ReadHeader());
        EXPECT_EQ(RestoreAllVolumes(r.set), DriveOutcome::Stopped);
        ASSERT_EQ(r.display.messages.size(), 1u);
        EXPECT_EQ(r.display.messages[0].text, text);
        EXPECT_EQ(r.display.messages[0].caption, "Tolvane");
        EXPECT_TRUE(r.fs.written().empty());
    }
}

// Names a target that folds letter case takes for one file. Where the layer
// says it folds, the restore refuses them up front; where it folds without
// saying so (a FAT stick under Linux), the first file is restored and the
// second stops the run before its first byte. Either way both are named.
TEST(HostileSet, NamesThatFoldTogetherNeverShareAFile) {
    const std::vector<std::vector<StoredFile>> sets = {
        {{"Case.txt", test::RandomBytes(300, 1)}, {"case.txt", test::RandomBytes(300, 2)}},
        {{"Ärger.txt", "erste"}, {"ärger.txt", "zweite"}, {"rest", "3"}},
        {{"a", "1"}, {"ΣΟΦΊΑ", test::RandomBytes(500, 3)}, {"σοφία", "x"}},
    };
    for (const bool saysItFolds : {true, false}) {
        for (const std::vector<StoredFile>& files : sets) {
            SCOPED_TRACE(files[1].name + (saysItFolds ? " (layer says it folds)" : ""));
            MemoryRestore r;
            r.fs.foldsCase = true;
            r.fs.hidesFolding = !saysItFolds;
            r.PutVolumes(MakeVolumes(files, 400));
            ASSERT_TRUE(r.ReadHeader());
            EXPECT_EQ(RestoreAllVolumes(r.set), DriveOutcome::Stopped);
            const size_t second = files.size() == 3 && files[0].name == "a" ? 2 : 1;
            const std::string first = files[second - 1].name, other = files[second].name;
            ASSERT_EQ(r.display.messages.size(), 1u);
            EXPECT_EQ(r.display.messages[0].text,
                      texts::WithNames(texts::kStoredNamesFold, first, other));
            EXPECT_TRUE(r.display.questions.empty());
            std::string restored;
            if (saysItFolds) {
                EXPECT_TRUE(r.Outputs().empty());
            } else {
                // The first keeps its own bytes; nothing after it is written.
                ASSERT_TRUE(r.fs.Get("/out/" + first, &restored));
                EXPECT_TRUE(restored == files[second - 1].bytes);
                EXPECT_EQ(r.Outputs().size(), second);
            }
        }
    }
}

// The keys under which names are one for Windows.
TEST(HostileSet, FoldCaseKnowsTheLettersWindowsFolds) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"README.TXT", "readme.txt"},
        {"ÄÖÜ ÀÞ", "äöü àþ"},
        {"×÷ß", "×÷ß"},
        {"ŠŽŒŸ", "šžœÿ"},
        {"ĀĲĹĽŊŹŽ", "āĳĺľŋźž"},
        {"İıĸſ", "İıĸſ"},
        {"ΑΣΩΆΊΏ", "ασωάίώ"},
        {"ЖЁЯ", "жёя"},
        {"€ 中", "€ 中"},
    };
    for (const auto& [name, key] : cases) {
        EXPECT_EQ(FoldCase(name), key) << name;
        EXPECT_EQ(FoldCase(key), key) << key;
    }
}

TEST(HostileSet, ControlCharactersAreShownEscaped) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"plain name.txt", "plain name.txt"},
        {"Größe €.bin", "Größe €.bin"},
        {"x\n2 fake.txt", "x\\x0a2 fake.txt"},
        {"\x1b]0;title\x07", "\\x1b]0;title\\x07"},
        {"del\x7f", "del\\x7f"},
        {"csi\xc2\x9b"
         "2J",
         "csi\\u009b2J"},
        {"tab\tcr\r", "tab\\x09cr\\x0d"},
    };
    for (const auto& [name, shown] : cases) {
        EXPECT_EQ(EscapeControlCharacters(name), shown);
        EXPECT_EQ(HasControlCharacter(name), name != shown) << shown;
        EXPECT_FALSE(HasControlCharacter(shown));
    }
    // A stored name in the repair's refusal, too.
    EXPECT_EQ(OriginalsRefusal({OriginalsCheck::Status::Missing, "a\nb"}),
              "Die benötigten Originaldateien sind im gewählten Verzeichnis nicht vorhanden.\n"
              "Bitte wählen sie ein anderes Verzeichnis aus!\n"
              "Die Originaldatei „a\\x0ab“ fehlt im gewählten Verzeichnis.");
}

// The writer refuses such names too: the set would not restore.
TEST(HostileSet, TheWriterRefusesControlCharacters) {
    test::TempDir dir;
    test::WriteFile(dir / "a\x1b[2J", "x");
    test::Fixture f;
    f.settings.targetPath = dir / "package.001";
    ASSERT_EQ(f.set.AddFileAtEnd(dir / "a\x1b[2J"), 1);
    EXPECT_EQ(CheckSplitSources(f.set),
              "Der Dateiname „a\\x1b[2J“ kann in einem Archiv nicht gespeichert werden.\n"
              "Bitte benennen Sie die Datei um oder wählen Sie sie ab!");
}

// Only the file name of a volume changes; the folder never does.
TEST(HostileSet, VolumeNamesKeepTheirFolder) {
    struct Case {
        std::string path;
        int number;
        bool sfx;
        std::string name;
    };
    for (const Case& c : std::vector<Case>{{"x/package.001", 3, false, "x/package.003"},
                                           {"x/package.001", 1, true, "x/package.exe"},
                                           {"x/abc", 2, false, "x/002"},
                                           {"x/ab", 2, false, "x/ab.002"},
                                           {"deep/out/a", 1, false, "deep/out/a.001"},
                                           {"deep/out/a", 1, true, "deep/out/a.exe"},
                                           {"a", 12, false, "a.012"}}) {
        EXPECT_EQ(VolumeName(c.path, c.number, c.sfx), c.name) << c.path;
    }
    EXPECT_EQ(RepairTargetPath("deep/out", "arc/a", 1, 0), "deep/out/a.001");
    EXPECT_EQ(RepairTargetPath("deep/out/", "arc/package.002", 1, 1), "deep/out/package.exe");
}

// A target file with a second name outside the target is replaced, never
// written in place: the file under the other name keeps its bytes.
TEST(HostileSet, HardLinkedTargetsAreReplaced) {
    test::TempDir arc, out, outside;
    const std::vector<std::string> volumes = MakeVolumes(kFiles, 200);
    for (size_t i = 0; i < volumes.size(); ++i) {
        test::WriteFile(VolumeName(arc / "package.001", static_cast<int>(i) + 1, false),
                        volumes[i]);
    }
    test::WriteFile(outside / "keep", "outside bytes");
    ASSERT_EQ(::link((outside / "keep").c_str(), (out / "erste.bin").c_str()), 0);
    test::Fixture f;
    f.settings.packagePath = arc / "package.001";
    ASSERT_EQ(f.set.readHeader(), 1);
    f.set.CalcHeaderSize();
    f.settings.targetPath = out.path();
    EXPECT_EQ(RestoreAllVolumes(f.set), DriveOutcome::Finished);
    EXPECT_EQ(test::ReadFile(outside / "keep"), "outside bytes");
    EXPECT_TRUE(test::ReadFile(out / "erste.bin") == kFiles[0].bytes);

    // The same for the volume a repair writes.
    test::TempDir sources, target;
    for (const StoredFile& s : kFiles) test::WriteFile(sources / s.name, s.bytes);
    test::WriteFile(outside / "keep2", "outside bytes");
    ASSERT_EQ(::link((outside / "keep2").c_str(), (target / "package.002").c_str()), 0);
    test::Fixture r;
    r.settings.packagePath = arc / "package.001";
    r.settings.currentVolume = 2;
    ASSERT_TRUE(SeekToVolume(r.set));
    r.set.sourceDir = sources.path();
    r.settings.targetPath = RepairTargetPath(target.path(), r.settings.packagePath, 2, 0);
    EXPECT_EQ(RunRepair(r.set), DriveOutcome::Finished);
    EXPECT_EQ(test::ReadFile(outside / "keep2"), "outside bytes");
    EXPECT_TRUE(test::ReadFile(target / "package.002") == volumes[1]);
}

// A minimal PE image: the DOS stub's pointer, the PE signature, a COFF
// header, an optional header of 224 bytes and one section of raw data.
std::string PeImage(size_t count) {
    std::string image(count, '\0');
    const auto put = [&image](size_t at, uint32_t value, int width) {
        for (int i = 0; i < width; ++i) image[at + i] = static_cast<char>(value >> (8 * i));
    };
    image[0] = 'M', image[1] = 'Z';
    put(0x3C, 0x80, 4);
    image.replace(0x80, 4, std::string("PE\0\0", 4));
    put(0x80 + 6, 1, 2);            // one section
    put(0x80 + 20, 224, 2);         // optional header size
    put(0x80 + 24, 0x10B, 2);       // PE32
    put(0x80 + 24 + 60, 0x200, 4);  // headers size
    const size_t section = 0x80 + 24 + 224;
    put(section + 16, 0x200, 4);  // raw size
    put(section + 20, 0x200, 4);  // raw offset
    image.replace(0x400 - 40, 22, kRobotImageMarker);
    return image;
}

// The image with a symbol table of count entries at offset, followed by a
// string table that says it is names bytes long.
std::string WithSymbols(std::string image, uint32_t offset, uint32_t count, uint32_t names) {
    const auto put = [&image](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) image[at + i] = static_cast<char>(value >> (8 * i));
    };
    put(0x80 + 12, offset);
    put(0x80 + 16, count);
    if (offset + count * 18 + 4 <= image.size()) put(offset + count * 18, names);
    return image;
}

TEST(HostileSet, RobotImagesAreCheckedWhole) {
    const std::string elf = test::RobotImage(3000, 1);
    const std::string pe = PeImage(0x400);
    std::string noMarker = elf;
    noMarker.replace(120, 7, "Tolvan_");
    const std::vector<std::pair<const char*, std::pair<std::string, bool>>> cases = {
        {"ELF", {elf, true}},
        {"PE", {pe, true}},
        {"ELF cut in its headers", {elf.substr(0, 100), false}},
        {"PE cut in its section", {pe.substr(0, 0x3F0), false}},
        {"PE with its symbols", {WithSymbols(pe, 0x380, 3, 20), true}},
        {"PE cut in its symbol table", {WithSymbols(pe, 0x3D0, 3, 4), false}},
        {"PE cut in its symbols' names", {WithSymbols(pe, 0x380, 3, 200), false}},
        {"without the marker", {noMarker, false}},
        {"foreign bytes", {test::RandomBytes(3000, 5), false}},
        {"too long", {test::RobotImage(66561, 1), false}},
        {"empty", {"", false}},
    };
    for (const auto& [what, c] : cases) {
        const std::vector<char> image(c.first.begin(), c.first.end());
        EXPECT_EQ(IsRobotImage(image), c.second) << what;
    }
}

}  // namespace
}  // namespace tolvane
