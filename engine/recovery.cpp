#include "engine/recovery.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <tuple>

#include "engine/par2/galois.h"
#include "engine/robot_image.h"
#include "engine/texts.h"
#include "engine/volume_header.h"

namespace tolvane {
namespace {

constexpr const char* kCreator = "Tolvane";

size_t NameStart(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

std::string BaseName(const std::string& path) {
    return path.substr(NameStart(path));
}

std::string FolderOf(const std::string& path) {
    const size_t start = NameStart(path);
    if (start == 0) return {};
    return path.substr(0, start == 1 ? 1 : start - 1);
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const char last = folder.back();
    return last == '/' || last == '\\' ? folder + name : folder + "/" + name;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

uint64_t PadFour(uint64_t n) {
    return (n + 3) / 4 * 4;
}

// Where each volume's bytes lie: the stub area, the header, the data.
struct Geometry {
    int count = 0;
    int64_t volumeSize = 0;
    int64_t headerSize = 0;
    int64_t totalSize = 0;
    bool selfExtracting = false;

    int64_t Prefix(int n) const {
        return (selfExtracting && n == 1 ? kStubAreaSize : 0) + headerSize;
    }
    int64_t Capacity(int n) const { return volumeSize - Prefix(n); }
    int64_t DataStart(int n) const {
        int64_t start = 0;
        for (int k = 1; k < n; ++k) start += Capacity(k);
        return start;
    }
    int64_t Length(int n) const {
        const int64_t rest = std::max<int64_t>(0, totalSize - DataStart(n));
        return Prefix(n) + std::min(Capacity(n), rest);
    }
};

// The volumes' bytes made again from what they were made of.
class VolumeSource : public par2::InputSource {
  public:
    struct Source {
        std::string path;
        int64_t start = 0;  // in the data stream
        int64_t size = 0;
    };

    VolumeSource(platform::FileSystem& fs, Geometry geometry, std::string stub,
                 std::vector<RecordSource> records, char magic, std::vector<Source> sources)
        : fs_(fs),
          geometry_(geometry),
          stub_(std::move(stub)),
          records_(std::move(records)),
          magic_(magic),
          sources_(std::move(sources)) {}

    bool Read(size_t file, uint64_t offset, uint8_t* buffer, size_t count) override {
        const int n = static_cast<int>(file) + 1;
        const int64_t prefix = geometry_.Prefix(n);
        auto at = static_cast<int64_t>(offset);
        while (count > 0 && at < prefix) {
            const int64_t stubPart = prefix - geometry_.headerSize;
            size_t take;
            if (at < stubPart) {
                take = static_cast<size_t>(std::min<int64_t>(stubPart - at, int64_t(count)));
                std::memcpy(buffer, stub_.data() + at, take);
            } else {
                const std::string& header = HeaderOf(n);
                take = static_cast<size_t>(std::min<int64_t>(prefix - at, int64_t(count)));
                std::memcpy(buffer, header.data() + (at - stubPart), take);
            }
            buffer += take;
            count -= take;
            at += static_cast<int64_t>(take);
        }
        return count == 0 || ReadData(geometry_.DataStart(n) + (at - prefix), buffer, count);
    }

  private:
    const std::string& HeaderOf(int n) {
        if (headerNumber_ != n) {
            header_ = BuildHeader(magic_, n, geometry_.count, geometry_.totalSize,
                                  geometry_.volumeSize, records_);
            headerNumber_ = n;
        }
        return header_;
    }

    bool ReadData(int64_t position, uint8_t* buffer, size_t count) {
        auto it = std::upper_bound(sources_.begin(), sources_.end(), position,
                                   [](int64_t p, const Source& s) { return p < s.start; });
        if (it == sources_.begin()) return false;
        size_t index = static_cast<size_t>(it - sources_.begin()) - 1;
        while (count > 0) {
            if (index >= sources_.size()) return false;
            const Source& s = sources_[index];
            const int64_t inFile = position - s.start;
            if (inFile >= s.size) {
                ++index;
                continue;
            }
            if (openIndex_ != index) {
                open_ = fs_.Open(s.path, platform::OpenMode::Read);
                openIndex_ = index;
                if (!open_) return false;
            }
            if (!open_ || !open_->Seek(inFile)) return false;
            const auto take =
                static_cast<size_t>(std::min<int64_t>(s.size - inFile, int64_t(count)));
            size_t got = 0;
            while (got < take) {
                const int64_t r = open_->Read(buffer + got, static_cast<int64_t>(take - got));
                if (r <= 0) return false;  // a source shorter than recorded
                got += static_cast<size_t>(r);
            }
            buffer += take;
            count -= take;
            position += static_cast<int64_t>(take);
        }
        return true;
    }

    platform::FileSystem& fs_;
    Geometry geometry_;
    std::string stub_;
    std::vector<RecordSource> records_;
    char magic_;
    std::vector<Source> sources_;
    std::string header_;
    int headerNumber_ = 0;
    std::unique_ptr<platform::File> open_;
    size_t openIndex_ = SIZE_MAX;
};

std::string VolumeFileName(const std::string& base, uint32_t first, uint32_t count, int digitsLow,
                           int digitsCount) {
    char text[64];
    std::snprintf(text, sizeof text, ".vol%0*u+%0*u.par2", digitsLow, first, digitsCount, count);
    return base + text;
}

int Digits(uint64_t n) {
    int d = 1;
    for (; n >= 10; n /= 10) ++d;
    return d;
}

}  // namespace

RecoveryJob::~RecoveryJob() = default;

std::string RecoveryBase(const std::string& volumePath) {
    const size_t start = NameStart(volumePath);
    const size_t dot = volumePath.rfind('.');
    if (dot == std::string::npos || dot < start || dot == start) return volumePath;
    return volumePath.substr(0, dot);
}

bool PlanRecovery(int volumeCount, int64_t volumeSize, int64_t largestVolume, int lostVolumes,
                  bool pieces, const std::string& base,
                  const std::function<uint64_t(uint64_t sliceSize)>& criticalBytes,
                  RecoveryLayout* layout) {
    if (lostVolumes < 1 || lostVolumes > volumeCount || volumeSize <= 0) return false;
    const auto V = static_cast<uint64_t>(volumeSize);
    // The slices cover the largest volume (a set of one short volume needs no
    // more); a slice is at least 4 bytes.
    const auto L = static_cast<uint64_t>(std::clamp<int64_t>(largestVolume, 1, volumeSize));
    auto sliceFor = [&](uint64_t k) { return PadFour((L + k - 1) / k); };
    // Each volume takes at most k slices, so lost x k recovery slices rebuild
    // any lost volumes. One slice per volume computes least; pieces that fit
    // a volume need smaller slices.
    uint64_t k = 1;
    uint64_t perPiece = 0;
    if (pieces) {
        uint64_t bestPieces = UINT64_MAX;
        for (uint64_t c = 2; c <= 64 && uint64_t(volumeCount) * c <= par2::kMaxInputSlices; ++c) {
            const uint64_t S = sliceFor(c);
            const uint64_t critical = criticalBytes(S);
            if (critical + S + par2::kRecoveryPacketOverhead > V) continue;
            const uint64_t b = (V - critical) / (S + par2::kRecoveryPacketOverhead);
            const uint64_t blocks = uint64_t(lostVolumes) * c;
            // No more slices than a rebuild can solve for at once.
            if (blocks >= par2::kMaxExponent || blocks > par2::MaxUnknowns(kRecoveryMemoryBudget)) {
                break;
            }
            const uint64_t count = (blocks + b - 1) / b;
            if (count < bestPieces) {
                bestPieces = count;
                k = c;
                perPiece = b;
            }
        }
        if (perPiece == 0) return false;
    }
    *layout = RecoveryLayout();
    layout->sliceSize = sliceFor(k);
    layout->slicesPerVolume = static_cast<int>((L + layout->sliceSize - 1) / layout->sliceSize);
    layout->lostVolumes = lostVolumes;
    layout->indexPath = base + ".par2";
    const uint32_t blocks = static_cast<uint32_t>(lostVolumes) * layout->slicesPerVolume;
    const uint32_t per = pieces ? static_cast<uint32_t>(perPiece) : layout->slicesPerVolume;
    std::vector<std::pair<uint32_t, uint32_t>> ranges;
    for (uint32_t e = 0; e < blocks; e += per) ranges.push_back({e, std::min(per, blocks - e)});
    uint32_t maxCount = 0;
    for (const auto& r : ranges) maxCount = std::max(maxCount, r.second);
    const int digitsLow = Digits(blocks);
    const int digitsCount = Digits(maxCount);
    const uint64_t critical = criticalBytes(layout->sliceSize);
    layout->bytes = critical;
    for (const auto& [first, count] : ranges) {
        layout->files.push_back(
            {VolumeFileName(base, first, count, digitsLow, digitsCount), first, count});
        layout->bytes +=
            critical + uint64_t(count) * (layout->sliceSize + par2::kRecoveryPacketOverhead);
    }
    return true;
}

namespace {

Geometry GeometryOf(QuellDateien& set) {
    const ArchiveSettings& s = set.settings();
    Geometry g;
    g.count = s.volumeCount;
    g.volumeSize = s.volumeSize;
    g.headerSize = set.CalcHeaderSize();
    g.totalSize = set.totalSize;
    g.selfExtracting = s.selfExtracting == 1;
    return g;
}

std::vector<par2::InputFile> InputsOf(const ArchiveSettings& s, const Geometry& g) {
    std::vector<par2::InputFile> inputs;
    for (int n = 1; n <= g.count; ++n) {
        inputs.push_back({BaseName(VolumeName(s.targetPath, n, g.selfExtracting)),
                          static_cast<uint64_t>(g.Length(n))});
    }
    return inputs;
}

// The layout by the volumes' names and lengths alone; archiveBytes set too.
bool PlanOf(const ArchiveSettings& s, const Geometry& g, const std::vector<par2::InputFile>& inputs,
            int lostVolumes, bool pieces, RecoveryLayout* layout) {
    auto criticalBytes = [&](uint64_t S) {
        uint64_t bytes = 64 + 12 + 16 * inputs.size() + 64 + PadFour(std::strlen(kCreator));
        for (const par2::InputFile& f : inputs) {
            bytes +=
                64 + 56 + PadFour(f.name.size()) + 64 + 16 + 20 * par2::SliceCountOf(f.length, S);
        }
        return bytes;
    };
    const std::string base = RecoveryBase(VolumeName(s.targetPath, 1, g.selfExtracting));
    int64_t largest = 0;
    uint64_t archiveBytes = 0;
    for (const par2::InputFile& f : inputs) {
        largest = std::max(largest, static_cast<int64_t>(f.length));
        archiveBytes += f.length;
    }
    if (!PlanRecovery(g.count, g.volumeSize, largest, lostVolumes, pieces, base, criticalBytes,
                      layout)) {
        return false;
    }
    layout->archiveBytes = archiveBytes;
    return true;
}

// The sources of a job whose set can be stopped: a read after the stop
// fails, so that the computation ends and removes what it wrote.
class StoppableSource : public par2::InputSource {
  public:
    StoppableSource(const QuellDateien& set, std::unique_ptr<par2::InputSource> inner)
        : set_(set), inner_(std::move(inner)) {}
    bool Read(size_t file, uint64_t offset, uint8_t* buffer, size_t count) override {
        return !set_.StopRequested() && inner_->Read(file, offset, buffer, count);
    }

  private:
    const QuellDateien& set_;
    std::unique_ptr<par2::InputSource> inner_;
};

}  // namespace

bool PlanSetRecovery(QuellDateien& set, int lostVolumes, bool pieces, RecoveryLayout* layout) {
    const Geometry g = GeometryOf(set);
    return PlanOf(set.settings(), g, InputsOf(set.settings(), g), lostVolumes, pieces, layout);
}

std::string PrepareRecovery(QuellDateien& set, int lostVolumes, bool pieces, RecoveryJob* job,
                            const par2::Progress& progress) {
    const ArchiveSettings& s = set.settings();
    platform::FileSystem& fs = set.fs();
    const Geometry g = GeometryOf(set);
    const std::vector<par2::InputFile> inputs = InputsOf(s, g);
    if (!PlanOf(s, g, inputs, lostVolumes, pieces, &job->layout)) {
        return texts::WithValues(texts::kRecoveryMoreThanSet,
                                 {std::to_string(lostVolumes), std::to_string(g.count)});
    }

    std::string stub;
    if (g.selfExtracting) {
        // The stub area as the split writer makes it: the image, then zeros.
        std::vector<char> image;
        if (ReadRobotImage(fs, s.robotPath, &image) != RobotImageStatus::Ok) {
            return texts::kRobotDamaged;
        }
        image.resize(kStubAreaSize, 0);
        stub.assign(image.begin(), image.end());
    }
    std::vector<RecordSource> records;
    std::vector<VolumeSource::Source> sources;
    int64_t start = 0;
    for (const FileEntry* e = set.head; e != nullptr; e = e->next) {
        records.push_back({e->Name(), e->size, e->lastWrite, e->headerName});
        // The sources must still be what the volumes were made of.
        platform::FileFacts facts;
        if (e->size > 0 && (!fs.Stat(e->path, &facts) || facts.size != e->size)) {
            return texts::WithName(texts::kRecoverySourceChanged, e->Name());
        }
        if (e->size > 0) sources.push_back({e->path, start, e->size});
        start += e->size;
    }
    job->source = std::make_unique<StoppableSource>(
        set, std::make_unique<VolumeSource>(fs, g, std::move(stub), std::move(records),
                                            g.selfExtracting ? 'E' : 'K', std::move(sources)));
    switch (par2::Describe(*job->source, inputs, job->layout.sliceSize, kCreator, &job->description,
                           progress)) {
        case par2::Failure::None:
            return {};
        case par2::Failure::TooManySlices:
            return texts::kInternalError;
        default:
            return set.StopRequested() ? texts::kRecoveryStopped : texts::kRecoverySourceUnreadable;
    }
}

std::string WriteRecovery(QuellDateien& set, RecoveryJob& job, size_t first, size_t count,
                          const par2::Progress& progress) {
    platform::FileSystem& fs = set.fs();
    const std::string failed = texts::kRecoveryNotWritten;
    if (first == 0 &&
        par2::WriteIndexFile(fs, job.layout.indexPath, job.description) != par2::Failure::None) {
        return failed;
    }
    const std::vector<par2::RecoveryFile> files(
        job.layout.files.begin() + static_cast<std::ptrdiff_t>(first),
        job.layout.files.begin() +
            static_cast<std::ptrdiff_t>(std::min(first + count, job.layout.files.size())));
    const par2::Failure failure = par2::WriteRecoveryFiles(fs, *job.source, job.description, files,
                                                           kRecoveryMemoryBudget, progress);
    if (failure == par2::Failure::None) return {};
    // An index without the recovery files it names would pass for recovery
    // data that is not there.
    if (first == 0) fs.Remove(job.layout.indexPath);
    if (set.StopRequested()) return texts::kRecoveryStopped;
    return failure == par2::Failure::Read ? texts::kRecoverySourceUnreadable : failed;
}

std::string BlockCount(uint64_t n) {
    return n == 1 ? texts::kOneBlock : texts::WithName(texts::kBlocks, std::to_string(n));
}

const char* VolumeStateText(VolumeState state) {
    switch (state) {
        case VolumeState::Ok:
            return texts::kVolumeOk;
        case VolumeState::Missing:
            return texts::kVolumeMissing;
        case VolumeState::Damaged:
            return texts::kVolumeDamaged;
        default:
            return texts::kVolumeOfOtherSet;
    }
}

std::string ShownName(const std::string& name) {
    std::string out;
    char hex[8];
    auto escape = [&](unsigned char c) {
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += hex;
    };
    for (size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F || c == '\\') {
            if (c == '\\') {
                out += "\\\\";
            } else {
                escape(c);
            }
            ++i;
            continue;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        // A whole UTF-8 sequence passes, unless it encodes a C1 control (the
        // 8-bit escape sequences some terminals obey); a stray byte does not.
        const size_t length = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        bool whole = length > 0 && c < 0xF5 && i + length <= name.size();
        for (size_t k = 1; whole && k < length; ++k) {
            whole = (static_cast<unsigned char>(name[i + k]) & 0xC0) == 0x80;
        }
        if (whole && length == 2 && c == 0xC2 && static_cast<unsigned char>(name[i + 1]) < 0xA0) {
            whole = false;
        }
        if (!whole) {
            escape(c);
            ++i;
            continue;
        }
        out.append(name, i, length);
        i += length;
    }
    return out;
}

namespace {

// The number a name gives a volume of a set of this stem: 1 for STEM.exe,
// n for STEM.nnn; 0 for any other name.
int VolumeNumberOfName(const std::string& name, const std::string& stem) {
    if (name.size() != stem.size() + 4 || name.compare(0, stem.size(), stem) != 0 ||
        name[stem.size()] != '.') {
        return 0;
    }
    const std::string tail = Lower(name.substr(stem.size() + 1));
    if (tail == "exe") return 1;
    int n = 0;
    for (char c : tail) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

// Whether the recovery data names a file of the set's own folder: a bare
// name, not one of the folder's own entries, no drive or stream.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string::npos;
}

}  // namespace

std::vector<std::string> StaleRecoveryFiles(const std::string& firstVolumePath) {
    const std::string folder = FolderOf(firstVolumePath);
    const std::string stem = Lower(BaseName(RecoveryBase(firstVolumePath)));
    std::vector<std::string> names;
    platform::ListFolder(folder.empty() ? "." : folder, &names);
    std::sort(names.begin(), names.end());
    std::vector<std::string> stale;
    for (const std::string& name : names) {
        const std::string lower = Lower(name);
        const bool index = lower == stem + ".par2";
        const bool slices = lower.size() > stem.size() + 9 &&
                            lower.compare(0, stem.size() + 4, stem + ".vol") == 0 &&
                            lower.compare(lower.size() - 5, 5, ".par2") == 0;
        if (index || slices) stale.push_back(Join(folder, name));
    }
    return stale;
}

bool SetReport::AllOk() const {
    if (!refusal.empty()) return false;
    for (const VolumeReport& v : volumes) {
        if (!v.listedOnly && v.state != VolumeState::Ok) return false;
    }
    return true;
}

bool SetReport::Rebuildable() const {
    return refusal.empty() && recoveryFound && !recoveryOfOtherSet && !uncoveredDamage &&
           slicesNeeded <= slicesAvailable &&
           slicesNeeded <= par2::MaxUnknowns(kRecoveryMemoryBudget);
}

namespace {

// What a volume's header says, when it is one.
struct HeaderSeen {
    bool valid = false;
    FixedHead head;
    TextPart text;
};

HeaderSeen ReadHeaderOf(platform::FileSystem& fs, const std::string& path, int64_t offset) {
    HeaderSeen seen;
    auto file = fs.Open(path, platform::OpenMode::Read);
    if (!file) return seen;
    seen.valid = ReadVolumeHeader(*file, offset, &seen.head, &seen.text);
    return seen;
}

int64_t HeaderOffsetOf(const std::string& path) {
    return IsSelfExtractingFirstVolumeName(path) ? kStubAreaSize : 0;
}

std::vector<RecordSource> RecordsOf(const TextPart& text) {
    std::vector<RecordSource> records;
    for (const HeaderRecord& r : text.records)
        records.push_back({r.name, r.size, r.lastWrite, r.headerName});
    return records;
}

// The header of a set with the volume number left out: what every volume
// of one set has in common.
std::string SetHeaderOf(const HeaderSeen& seen) {
    std::string header =
        BuildHeader(seen.head.magicLetter, seen.head.volumeNumber, seen.head.volumeCount,
                    seen.text.totalSize, seen.text.volumeSize, RecordsOf(seen.text));
    if (header.size() >= kFixedHeadSize) header.replace(5, 4, "0000");
    return header;
}

// Every byte of the file can be read; its length.
bool ReadWhole(platform::FileSystem& fs, const std::string& path, int64_t* length) {
    auto file = fs.Open(path, platform::OpenMode::Read);
    if (!file) return false;
    std::vector<uint8_t> buffer(1u << 20);
    *length = 0;
    for (;;) {
        const int64_t n = file->Read(buffer.data(), static_cast<int64_t>(buffer.size()));
        if (n < 0) return false;
        if (n == 0) return true;
        *length += n;
    }
}

// Whether a file starts as the description says (its length and the MD5 of
// its first 16 KiB): cheap, and enough to tell which of several recovery
// sets was made over the volumes at hand.
bool StartMatches(platform::FileSystem& fs, const std::string& path,
                  const par2::FileDescription& d) {
    platform::FileFacts facts;
    if (!fs.Stat(path, &facts) || !facts.isRegular || uint64_t(facts.size) != d.length) {
        return false;
    }
    auto file = fs.Open(path, platform::OpenMode::Read);
    if (!file) return false;
    std::string bytes(static_cast<size_t>(std::min<uint64_t>(d.length, 16384)), '\0');
    for (size_t got = 0; got < bytes.size();) {
        const int64_t n = file->Read(bytes.data() + got, int64_t(bytes.size() - got));
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return par2::Md5Of(bytes.data(), bytes.size()) == d.hash16k;
}

// Whether the header bytes in the file are the expected ones: 0 yes, 1 a
// damaged header, 2 the header of another set.
int CompareHeader(platform::FileSystem& fs, const std::string& path, int64_t offset,
                  const std::string& expected) {
    auto file = fs.Open(path, platform::OpenMode::Read);
    std::string actual(expected.size(), '\0');
    int64_t got = 0;
    if (file && file->Seek(offset)) {
        while (got < static_cast<int64_t>(actual.size())) {
            const int64_t n = file->Read(actual.data() + got, int64_t(actual.size()) - got);
            if (n <= 0) break;
            got += n;
        }
    }
    file.reset();
    if (got == static_cast<int64_t>(expected.size()) && actual == expected) return 0;
    const HeaderSeen seen = ReadHeaderOf(fs, path, offset);
    if (!seen.valid) return 1;
    // A well-formed header that is not this set's (the volume number aside:
    // a volume of this set under the wrong number is merely wrong) belongs
    // to another set.
    std::string mine = expected;
    if (mine.size() >= kFixedHeadSize) mine.replace(5, 4, "0000");
    return mine == SetHeaderOf(seen) ? 1 : 2;
}

}  // namespace

SetReport CheckSet(platform::FileSystem& fs, const std::string& volumePath) {
    SetReport report;
    report.folder = FolderOf(volumePath);
    const std::string stem = BaseName(RecoveryBase(volumePath));
    const std::string given = BaseName(volumePath);

    // The recovery files: those named after the set first, then any other.
    std::vector<std::string> names;
    platform::ListFolder(report.folder.empty() ? "." : report.folder, &names);
    std::sort(names.begin(), names.end());
    std::vector<std::string> own, others;
    for (const std::string& name : names) {
        const std::string lower = Lower(name);
        if (lower.size() < 5 || lower.substr(lower.size() - 5) != ".par2") continue;
        const bool ownName =
            Lower(name.substr(0, std::min(name.size(), stem.size() + 1))) == Lower(stem + ".");
        (ownName ? own : others).push_back(Join(report.folder, name));
    }

    // Of the recovery sets that name volumes of this set, the one whose
    // volumes are the ones at hand (several lie beside a set when an older
    // set's files were left there).
    auto findSet = [&](const std::vector<std::string>& files) {
        par2::RecoveryReader reader(fs);
        for (const std::string& f : files) reader.ReadFile(f);
        report.damagedRecoveryPackets = reader.damagedPackets();
        std::vector<par2::RecoverySet> candidates;
        std::vector<std::tuple<size_t, bool, size_t>> scores;  // matching, named, volumes listed
        for (par2::RecoverySet& set : reader.Sets()) {
            if (!set.Complete()) continue;
            size_t listed = 0, matching = 0;
            bool named = false;
            for (const auto& [id, d] : set.descriptions) {
                if (d.name == given) named = true;
                if (d.name != given && VolumeNumberOfName(d.name, stem) == 0) continue;
                ++listed;
                if (StartMatches(fs, Join(report.folder, d.name), d)) ++matching;
            }
            if (listed == 0) continue;
            candidates.push_back(std::move(set));
            scores.emplace_back(matching, named, listed);
        }
        if (candidates.empty()) return;
        const size_t best =
            static_cast<size_t>(std::max_element(scores.begin(), scores.end()) - scores.begin());
        report.recovery = std::move(candidates[best]);
        report.recoveryFound = true;
        for (size_t i = 0; i < candidates.size(); ++i) {
            // One that fits the volumes as well is this set's too (made by
            // another tool, say); only those that fit worse are another's.
            if (std::get<0>(scores[i]) >= std::get<0>(scores[best])) continue;
            for (const std::string& path : candidates[i].paths) {
                const std::string name = BaseName(path);
                const bool shared =
                    std::find(report.recovery.paths.begin(), report.recovery.paths.end(), path) !=
                    report.recovery.paths.end();
                if (!shared &&
                    std::find(report.otherRecoveryFiles.begin(), report.otherRecoveryFiles.end(),
                              name) == report.otherRecoveryFiles.end()) {
                    report.otherRecoveryFiles.push_back(name);
                }
            }
        }
    };
    findSet(own);
    if (!report.recoveryFound && !others.empty()) {
        own.insert(own.end(), others.begin(), others.end());
        findSet(own);
    }

    // The set's geometry from the volume given, or from any other that can be read.
    std::string reference = volumePath;
    HeaderSeen ref = ReadHeaderOf(fs, volumePath, HeaderOffsetOf(volumePath));
    if (!ref.valid && report.recoveryFound) {
        for (const auto& [id, d] : report.recovery.descriptions) {
            if (VolumeNumberOfName(d.name, stem) == 0) continue;
            const std::string path = Join(report.folder, d.name);
            HeaderSeen seen = ReadHeaderOf(fs, path, HeaderOffsetOf(path));
            if (seen.valid &&
                VolumeName(path, seen.head.volumeNumber, seen.head.magicLetter == 'E') == path) {
                ref = std::move(seen);
                reference = path;
                break;
            }
        }
    }
    if (!ref.valid && !report.recoveryFound) {
        platform::FileFacts facts;
        report.refusal = fs.Stat(volumePath, &facts) ? texts::kNotAPackage : texts::kFileNotFound;
        return report;
    }

    Geometry g;
    bool sfx = false;
    std::vector<RecordSource> records;
    if (ref.valid) {
        sfx = ref.head.magicLetter == 'E';
        records = RecordsOf(ref.text);
        g.count = ref.head.volumeCount;
        g.volumeSize = ref.text.volumeSize;
        g.headerSize = HeaderLength(ref.text.totalSize, ref.text.volumeSize, records);
        g.totalSize = ref.text.totalSize;
        g.selfExtracting = sfx;
        report.setHeader = SetHeaderOf(ref);
    } else {
        // No volume header left: the names the recovery data gives volumes
        // of this stem say how many there are.
        for (const auto& [id, d] : report.recovery.descriptions) {
            const int n = VolumeNumberOfName(d.name, stem);
            g.count = std::max(g.count, n);
            if (n == 1 && IsSelfExtractingFirstVolumeName(d.name)) sfx = true;
        }
    }

    std::map<std::string, size_t> setFileByName;
    for (size_t i = 0; i < report.recovery.files.size(); ++i) {
        const auto d = report.recovery.descriptions.find(report.recovery.files[i]);
        if (d != report.recovery.descriptions.end()) setFileByName[d->second.name] = i;
    }
    // Recovery data that would make a volume of another length than the
    // set's header gives it was made over another set.
    if (ref.valid) {
        for (int n = 1; n <= g.count && !report.recoveryOfOtherSet; ++n) {
            const auto found = setFileByName.find(BaseName(VolumeName(reference, n, sfx)));
            if (found == setFileByName.end()) continue;
            const par2::FileDescription& d =
                report.recovery.descriptions.at(report.recovery.files[found->second]);
            report.recoveryOfOtherSet = d.length != uint64_t(g.Length(n));
        }
    }
    uint64_t mostSlices = 1;
    auto checkCovered = [&](VolumeReport& v, const std::string& name, bool readable) {
        const auto found = setFileByName.find(name);
        if (!report.recoveryFound || found == setFileByName.end()) return;
        v.covered = true;
        v.setFile = found->second;
        const par2::Md5Digest& id = report.recovery.files[found->second];
        const par2::FileDescription& d = report.recovery.descriptions.at(id);
        if (readable) {
            v.check = par2::CheckFile(fs, v.path, d, report.recovery.checksums.at(id),
                                      report.recovery.sliceSize);
        } else {
            v.check.goodSlices.assign(par2::SliceCountOf(d.length, report.recovery.sliceSize),
                                      false);
        }
        v.missingSlices = v.check.MissingSlices();
        mostSlices = std::max<uint64_t>(mostSlices, v.check.goodSlices.size());
        setFileByName.erase(found);
    };
    for (int n = 1; n <= g.count; ++n) {
        VolumeReport v;
        v.number = n;
        v.path = VolumeName(reference, n, sfx);
        if (!report.recoveryOfOtherSet) checkCovered(v, BaseName(v.path), true);
        platform::FileFacts facts;
        if (!fs.Stat(v.path, &facts) || !facts.isRegular) {
            v.state = VolumeState::Missing;
        } else if (!ref.valid) {
            v.state = v.covered && v.check.state == par2::FileCheck::State::Intact
                          ? VolumeState::Ok
                          : VolumeState::Damaged;
        } else {
            const std::string header =
                BuildHeader(ref.head.magicLetter, n, g.count, g.totalSize, g.volumeSize, records);
            const int headerState = CompareHeader(fs, v.path, g.Prefix(n) - g.headerSize, header);
            if (v.covered) {
                v.state = v.check.state == par2::FileCheck::State::Intact ? VolumeState::Ok
                          : headerState == 2                              ? VolumeState::Foreign
                                                                          : VolumeState::Damaged;
            } else {
                int64_t length = 0;
                const bool readable = ReadWhole(fs, v.path, &length);
                v.state = headerState == 2 ? VolumeState::Foreign
                          : headerState == 0 && readable && length == g.Length(n)
                              ? VolumeState::Ok
                              : VolumeState::Damaged;
            }
        }
        report.volumes.push_back(std::move(v));
    }
    // Further files the recovery data lists: none of them is the set's to
    // write. Their slices take part in the equations, so one that lies in
    // the set's folder under a bare name is checked (read only).
    if (!report.recoveryOfOtherSet) {
        for (const auto& [name, index] : std::map<std::string, size_t>(setFileByName)) {
            VolumeReport v;
            v.listedOnly = true;
            v.path = Join(report.folder, name);
            checkCovered(v, name, IsPlainName(name));
            v.state = v.check.state == par2::FileCheck::State::Intact    ? VolumeState::Ok
                      : v.check.state == par2::FileCheck::State::Missing ? VolumeState::Missing
                                                                         : VolumeState::Damaged;
            report.volumes.push_back(std::move(v));
        }
    }
    for (const VolumeReport& v : report.volumes) {
        if (v.state == VolumeState::Ok) continue;
        if (!v.covered) {
            if (!v.listedOnly) report.uncoveredDamage = true;
        } else {
            report.slicesNeeded += v.missingSlices;
        }
    }
    report.slicesAvailable = report.recovery.recovery.size();
    report.slicesPerVolume = mostSlices;
    return report;
}

namespace {

// A new file beside final, created exclusively under a name nothing else
// has: whatever lies under such a name already stays as it is.
std::shared_ptr<platform::File> CreateBeside(platform::FileSystem& fs, const std::string& final,
                                             const char* suffix, std::string* path) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        *path = final + suffix + (attempt == 0 ? std::string() : "-" + std::to_string(attempt));
        std::shared_ptr<platform::File> file = fs.Open(*path, platform::OpenMode::CreateNew);
        if (file) return file;
    }
    path->clear();
    return nullptr;
}

// A name beside path that no entry of its folder has.
std::string FreeNameBeside(const std::string& path, const char* suffix) {
    std::vector<std::string> names;
    const std::string folder = FolderOf(path);
    platform::ListFolder(folder.empty() ? "." : folder, &names);
    for (int attempt = 0;; ++attempt) {
        const std::string name = BaseName(path) + suffix +
                                 (attempt == 0 ? std::string() : "-" + std::to_string(attempt));
        if (std::find(names.begin(), names.end(), name) == names.end()) return Join(folder, name);
    }
}

}  // namespace

std::string RebuildSet(platform::FileSystem& fs, const SetReport& report, const std::string& outDir,
                       std::vector<std::string>* rebuilt, const par2::Progress& progress,
                       const std::atomic<bool>* stop) {
    if (!report.refusal.empty()) return report.refusal;
    if (report.AllOk()) return {};
    if (report.recoveryOfOtherSet) return texts::kRecoveryOfOtherSet;
    if (!report.recoveryFound) return texts::kNoRecoveryData;
    if (report.uncoveredDamage) return texts::kDamageNotCovered;
    if (report.slicesNeeded > report.slicesAvailable) {
        const uint64_t more = report.slicesNeeded - report.slicesAvailable;
        const uint64_t volumes = (more + report.slicesPerVolume - 1) / report.slicesPerVolume;
        return texts::WithValues(
            texts::kTooLittleRecovery,
            {BlockCount(report.slicesNeeded), std::to_string(report.slicesAvailable),
             BlockCount(more),
             volumes == 1 ? std::string(texts::kOneMoreVolume)
                          : texts::WithName(texts::kMoreVolumes, std::to_string(volumes))});
    }
    const uint64_t mostUnknowns = par2::MaxUnknowns(kRecoveryMemoryBudget);
    if (report.slicesNeeded > mostUnknowns) {
        return texts::WithValues(
            texts::kRebuildTooLarge,
            {BlockCount(report.slicesNeeded), std::to_string(kRecoveryMemoryBudget >> 20),
             std::to_string(mostUnknowns)});
    }
    const std::string target = outDir.empty() ? report.folder : outDir;
    const par2::RecoverySet& set = report.recovery;
    std::vector<std::string> intact(set.files.size());
    std::vector<par2::RebuildFile> files;
    std::vector<const VolumeReport*> written;  // by files index, volumes only
    std::vector<std::string> finals;           // by files index: the volume's own name
    std::vector<std::pair<std::string, std::string>> moves;  // new file -> final name
    std::vector<std::string> foreign;  // volumes of another set, kept under another name
    auto removeNew = [&] {
        for (par2::RebuildFile& f : files) {
            f.output.reset();
            if (!f.outputPath.empty()) fs.Remove(f.outputPath);
        }
    };
    for (const VolumeReport& v : report.volumes) {
        if (!v.covered) continue;
        intact[v.setFile] = v.path;
        if (v.state == VolumeState::Ok) continue;
        par2::RebuildFile f;
        f.file = v.setFile;
        // Slices whose checksums hold are the set's own, whatever file holds them.
        const bool present = v.state != VolumeState::Missing && !v.check.goodSlices.empty() &&
                             v.check.state != par2::FileCheck::State::Missing;
        f.readPath = present ? v.path : "";
        f.goodSlices = present ? v.check.goodSlices : std::vector<bool>();
        if (!v.listedOnly) {
            // Only the set's own volumes are written, under the names its
            // geometry gives them.
            const std::string final = Join(target, BaseName(v.path));
            f.output = CreateBeside(fs, final, ".tolvane-neu", &f.outputPath);
            if (!f.output) {
                removeNew();
                return texts::kWriteError;
            }
            moves.push_back({f.outputPath, final});
            if (v.state == VolumeState::Foreign && final == v.path) foreign.push_back(v.path);
        }
        files.push_back(f);
        written.push_back(v.listedOnly ? nullptr : &v);
        finals.push_back(moves.empty() || v.listedOnly ? std::string() : moves.back().second);
    }
    // Each new file must be the original before it takes its place. A
    // recovery slice found in several copies of different bytes (each with
    // a checksum that holds) is tried copy by copy until the result is.
    par2::RecoverySet tried = set;
    auto rebuiltDiffers = [&]() -> const par2::FileDescription* {
        for (size_t i = 0; i < files.size(); ++i) {
            if (written[i] == nullptr) continue;
            const par2::FileDescription& d = set.descriptions.at(set.files[files[i].file]);
            par2::Md5Digest digest;
            uint64_t length = 0;
            if (!par2::HashFile(fs, files[i].outputPath, &digest, &length) || length != d.length ||
                digest != d.hashFull) {
                return &d;
            }
        }
        return nullptr;
    };
    for (size_t attempt = 1;; ++attempt) {
        const auto result =
            par2::Rebuild(fs, tried, intact, files, kRecoveryMemoryBudget, progress, stop);
        if (result != par2::RebuildResult::Done) {
            removeNew();
            switch (result) {
                case par2::RebuildResult::ReadFailed:
                    return texts::kReadError;
                case par2::RebuildResult::WriteFailed:
                    return texts::kWriteError;
                case par2::RebuildResult::Stopped:
                    return texts::kRebuildStopped;
                default:
                    return texts::kRecoveryDoesNotFit;
            }
        }
        const par2::FileDescription* differs = rebuiltDiffers();
        if (differs == nullptr) break;
        // A few rounds: crafted files could offer copies without end.
        constexpr size_t kMostAttempts = 8;
        bool another = false;
        for (auto it = set.spareRecovery.begin();
             attempt < kMostAttempts && it != set.spareRecovery.end();
             it = set.spareRecovery.upper_bound(it->first)) {
            auto spare = it;
            for (size_t k = 1;
                 k < attempt && spare != set.spareRecovery.end() && spare->first == it->first;
                 ++k) {
                ++spare;
            }
            if (spare == set.spareRecovery.end() || spare->first != it->first) continue;
            tried.recovery[it->first] = spare->second;
            another = true;
        }
        if (!another) {
            removeNew();
            return texts::WithName(texts::kRebuiltVolumeDiffers, ShownName(differs->name));
        }
    }
    for (par2::RebuildFile& f : files) f.output.reset();
    // And a volume of this very set: the recovery data of another set would
    // make that set's volumes, whose checksums it holds as well.
    std::string setHeader = report.setHeader;
    for (size_t i = 0; i < files.size(); ++i) {
        if (written[i] == nullptr) continue;
        const std::string& final = finals[i];
        const HeaderSeen seen = ReadHeaderOf(fs, files[i].outputPath, HeaderOffsetOf(final));
        if (setHeader.empty() && seen.valid) setHeader = SetHeaderOf(seen);
        if (!seen.valid || seen.head.volumeNumber != written[i]->number ||
            SetHeaderOf(seen) != setHeader) {
            removeNew();
            return texts::kRecoveryOfOtherSet;
        }
    }
    // A volume of another set is not ours to destroy: it keeps its bytes
    // under the name with ".fremd" added (or a free one near it).
    for (const std::string& path : foreign) {
        if (!platform::RenameFile(path, FreeNameBeside(path, ".fremd"))) {
            removeNew();
            return texts::kWriteError;
        }
    }
    for (const auto& [from, to] : moves) {
        if (!platform::RenameFile(from, to)) {
            removeNew();
            return texts::kWriteError;
        }
        rebuilt->push_back(to);
    }
    return {};
}

}  // namespace tolvane
