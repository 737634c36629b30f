#include "engine/recovery.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

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
            if (blocks >= par2::kMaxExponent) break;
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

std::string PrepareRecovery(QuellDateien& set, int lostVolumes, bool pieces, RecoveryJob* job,
                            const par2::Progress& progress) {
    const ArchiveSettings& s = set.settings();
    platform::FileSystem& fs = set.fs();
    Geometry g;
    g.count = s.volumeCount;
    g.volumeSize = s.volumeSize;
    g.headerSize = set.CalcHeaderSize();
    g.totalSize = set.totalSize;
    g.selfExtracting = s.selfExtracting == 1;

    std::vector<par2::InputFile> inputs;
    for (int n = 1; n <= g.count; ++n) {
        inputs.push_back({BaseName(VolumeName(s.targetPath, n, g.selfExtracting)),
                          static_cast<uint64_t>(g.Length(n))});
    }
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
                      &job->layout)) {
        return "Für " + std::to_string(lostVolumes) +
               " Datenträger können keine Wiederherstellungsdaten erstellt werden: das Archiv "
               "hat " +
               std::to_string(g.count) + " Datenträger.";
    }

    job->layout.archiveBytes = archiveBytes;
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
            return "Die Datei „" + e->Name() +
                   "“ hat sich seit dem Aufteilen verändert; Wiederherstellungsdaten wurden nicht "
                   "erstellt.";
        }
        if (e->size > 0) sources.push_back({e->path, start, e->size});
        start += e->size;
    }
    job->source = std::make_unique<VolumeSource>(fs, g, std::move(stub), std::move(records),
                                                 g.selfExtracting ? 'E' : 'K', std::move(sources));
    switch (par2::Describe(*job->source, inputs, job->layout.sliceSize, kCreator, &job->description,
                           progress)) {
        case par2::Failure::None:
            return {};
        case par2::Failure::TooManySlices:
            return texts::kInternalError;
        default:
            return "Eine Quelldatei konnte nicht gelesen werden; Wiederherstellungsdaten wurden "
                   "nicht erstellt.";
    }
}

std::string WriteRecovery(QuellDateien& set, RecoveryJob& job, size_t first, size_t count,
                          const par2::Progress& progress) {
    platform::FileSystem& fs = set.fs();
    const std::string failed = "Die Wiederherstellungsdaten konnten nicht geschrieben werden.";
    if (first == 0 &&
        par2::WriteIndexFile(fs, job.layout.indexPath, job.description) != par2::Failure::None) {
        return failed;
    }
    const std::vector<par2::RecoveryFile> files(
        job.layout.files.begin() + static_cast<std::ptrdiff_t>(first),
        job.layout.files.begin() +
            static_cast<std::ptrdiff_t>(std::min(first + count, job.layout.files.size())));
    switch (par2::WriteRecoveryFiles(fs, *job.source, job.description, files, kRecoveryMemoryBudget,
                                     progress)) {
        case par2::Failure::None:
            return {};
        case par2::Failure::Read:
            return "Eine Quelldatei konnte nicht gelesen werden; Wiederherstellungsdaten wurden "
                   "nicht erstellt.";
        default:
            return failed;
    }
}

std::string BlockCount(uint64_t n) {
    return std::to_string(n) + (n == 1 ? " Block" : " Blöcke");
}

const char* VolumeStateText(VolumeState state) {
    switch (state) {
        case VolumeState::Ok:
            return "in Ordnung";
        case VolumeState::Missing:
            return "fehlt";
        case VolumeState::Damaged:
            return "beschädigt";
        default:
            return "gehört zu einem anderen Archiv";
    }
}

bool SetReport::AllOk() const {
    if (!refusal.empty()) return false;
    for (const VolumeReport& v : volumes) {
        if (v.state != VolumeState::Ok) return false;
    }
    return true;
}

bool SetReport::Rebuildable() const {
    return refusal.empty() && recoveryFound && !uncoveredDamage && slicesNeeded <= slicesAvailable;
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
    const std::string own =
        BuildHeader(seen.head.magicLetter, seen.head.volumeNumber, seen.head.volumeCount,
                    seen.text.totalSize, seen.text.volumeSize, RecordsOf(seen.text));
    std::string mine = expected;
    std::string theirs = own;
    if (mine.size() >= kFixedHeadSize && theirs.size() >= kFixedHeadSize) {
        mine.replace(5, 4, "0000");
        theirs.replace(5, 4, "0000");
    }
    return mine == theirs ? 1 : 2;
}

}  // namespace

SetReport CheckSet(platform::FileSystem& fs, const std::string& volumePath) {
    SetReport report;
    report.folder = FolderOf(volumePath);
    const std::string stem = BaseName(RecoveryBase(volumePath));

    // The recovery files: those named after the set first, then any other.
    std::vector<std::string> names;
    platform::ListFolder(report.folder, &names);
    std::sort(names.begin(), names.end());
    std::vector<std::string> own, others;
    for (const std::string& name : names) {
        const std::string lower = Lower(name);
        if (lower.size() < 5 || lower.substr(lower.size() - 5) != ".par2") continue;
        const bool ownName =
            Lower(name.substr(0, std::min(name.size(), stem.size() + 1))) == Lower(stem + ".");
        (ownName ? own : others).push_back(Join(report.folder, name));
    }

    // The set's geometry from the volume given, or from any other that can be read.
    std::string reference = volumePath;
    HeaderSeen ref = ReadHeaderOf(fs, volumePath, HeaderOffsetOf(volumePath));
    auto findSet = [&](const std::vector<std::string>& files) {
        par2::RecoveryReader reader(fs);
        for (const std::string& f : files) reader.ReadFile(f);
        report.damagedRecoveryPackets = reader.damagedPackets();
        const std::string wanted = Lower(BaseName(volumePath));
        size_t best = 0;
        for (par2::RecoverySet& set : reader.Sets()) {
            size_t hits = 0;
            bool named = false;
            for (const auto& [id, d] : set.descriptions) {
                if (Lower(d.name) == wanted) named = true;
                if (Lower(d.name.substr(0, std::min(d.name.size(), stem.size() + 1))) ==
                    Lower(stem + "."))
                    ++hits;
            }
            if ((named || hits > 0) && hits + (named ? 1000000 : 0) > best && set.Complete()) {
                best = hits + (named ? 1000000 : 0);
                report.recovery = std::move(set);
                report.recoveryFound = true;
            }
        }
    };
    findSet(own);
    if (!report.recoveryFound && !others.empty()) {
        own.insert(own.end(), others.begin(), others.end());
        findSet(own);
    }
    if (!ref.valid && report.recoveryFound) {
        for (const auto& [id, d] : report.recovery.descriptions) {
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
    // No volume header left: the recovery data alone names the volumes.
    if (!ref.valid) ref.head.volumeCount = 0;

    const bool sfx = ref.head.magicLetter == 'E';
    const std::vector<RecordSource> records = RecordsOf(ref.text);
    Geometry g;
    g.count = ref.head.volumeCount;
    g.volumeSize = ref.text.volumeSize;
    g.headerSize = HeaderLength(ref.text.totalSize, ref.text.volumeSize, records);
    g.totalSize = ref.text.totalSize;
    g.selfExtracting = sfx;

    std::map<std::string, size_t> setFileByName;
    for (size_t i = 0; i < report.recovery.files.size(); ++i) {
        const auto d = report.recovery.descriptions.find(report.recovery.files[i]);
        if (d != report.recovery.descriptions.end()) setFileByName[d->second.name] = i;
    }
    uint64_t mostSlices = 1;
    auto checkCovered = [&](VolumeReport& v, const std::string& name) {
        const auto found = setFileByName.find(name);
        if (!report.recoveryFound || found == setFileByName.end()) return;
        v.covered = true;
        v.setFile = found->second;
        const par2::Md5Digest& id = report.recovery.files[found->second];
        const par2::FileDescription& d = report.recovery.descriptions.at(id);
        v.check = par2::CheckFile(fs, v.path, d, report.recovery.checksums.at(id),
                                  report.recovery.sliceSize);
        v.missingSlices = v.check.MissingSlices();
        mostSlices = std::max<uint64_t>(mostSlices, v.check.goodSlices.size());
        setFileByName.erase(found);
    };
    for (int n = 1; n <= g.count; ++n) {
        VolumeReport v;
        v.number = n;
        v.path = VolumeName(reference, n, sfx);
        checkCovered(v, BaseName(v.path));
        platform::FileFacts facts;
        if (!fs.Stat(v.path, &facts) || !facts.isRegular) {
            v.state = VolumeState::Missing;
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
    // Further files the recovery data protects (a set made over more files).
    for (const auto& [name, index] : std::map<std::string, size_t>(setFileByName)) {
        VolumeReport v;
        v.path = Join(report.folder, name);
        checkCovered(v, name);
        v.state = v.check.state == par2::FileCheck::State::Intact    ? VolumeState::Ok
                  : v.check.state == par2::FileCheck::State::Missing ? VolumeState::Missing
                                                                     : VolumeState::Damaged;
        report.volumes.push_back(std::move(v));
    }
    for (const VolumeReport& v : report.volumes) {
        if (v.state == VolumeState::Ok) continue;
        if (!v.covered) {
            report.uncoveredDamage = true;
        } else {
            report.slicesNeeded += v.missingSlices;
        }
    }
    report.slicesAvailable = report.recovery.recovery.size();
    report.slicesPerVolume = mostSlices;
    return report;
}

std::string RebuildSet(platform::FileSystem& fs, const SetReport& report, const std::string& outDir,
                       std::vector<std::string>* rebuilt, const par2::Progress& progress) {
    if (!report.refusal.empty()) return report.refusal;
    if (report.AllOk()) return {};
    if (!report.recoveryFound) {
        return "Keine Wiederherstellungsdaten (PAR2) gefunden: der Satz kann nicht "
               "wiederhergestellt werden.";
    }
    if (report.uncoveredDamage) {
        return "Ein fehlender oder beschädigter Datenträger ist durch die "
               "Wiederherstellungsdaten nicht geschützt.";
    }
    if (report.slicesNeeded > report.slicesAvailable) {
        const uint64_t more = report.slicesNeeded - report.slicesAvailable;
        const uint64_t volumes = (more + report.slicesPerVolume - 1) / report.slicesPerVolume;
        return "Zu wenig Wiederherstellungsdaten: benötigt werden " +
               BlockCount(report.slicesNeeded) + ", vorhanden sind " +
               std::to_string(report.slicesAvailable) + ".\nEs fehlen noch " + BlockCount(more) +
               " (Wiederherstellungsdaten für " + std::to_string(volumes) + " weitere" +
               (volumes == 1 ? "n" : "") + " Datenträger). Es wurde nichts geschrieben.";
    }
    const std::string target = outDir.empty() ? report.folder : outDir;
    const par2::RecoverySet& set = report.recovery;
    std::vector<std::string> intact(set.files.size());
    std::vector<par2::RebuildFile> files;
    std::vector<std::pair<std::string, std::string>> moves;  // new file -> final name
    std::vector<std::string> foreign;  // volumes of another set, kept under another name
    for (const VolumeReport& v : report.volumes) {
        if (!v.covered) continue;
        intact[v.setFile] = v.path;
        if (v.state == VolumeState::Ok) continue;
        const std::string final = Join(target, BaseName(v.path));
        par2::RebuildFile f;
        f.file = v.setFile;
        // Slices whose checksums hold are the set's own, whatever file holds them.
        const bool present = v.state != VolumeState::Missing;
        f.readPath = present ? v.path : "";
        f.goodSlices = present ? v.check.goodSlices : std::vector<bool>();
        f.outputPath = final + ".tolvane-neu";
        files.push_back(f);
        moves.push_back({f.outputPath, final});
        if (v.state == VolumeState::Foreign && final == v.path) foreign.push_back(v.path);
    }
    const auto result = par2::Rebuild(fs, set, intact, files, kRecoveryMemoryBudget, progress);
    if (result != par2::RebuildResult::Done) {
        switch (result) {
            case par2::RebuildResult::ReadFailed:
                return texts::kReadError;
            case par2::RebuildResult::WriteFailed:
                return texts::kWriteError;
            default:
                return "Die Wiederherstellungsdaten passen nicht zu diesem Satz; es wurde nichts "
                       "geschrieben.";
        }
    }
    // Each new file must be the original before it takes its place.
    for (size_t i = 0; i < files.size(); ++i) {
        const par2::FileDescription& d = set.descriptions.at(set.files[files[i].file]);
        par2::Md5Digest digest;
        uint64_t length = 0;
        if (!par2::HashFile(fs, files[i].outputPath, &digest, &length) || length != d.length ||
            digest != d.hashFull) {
            for (const par2::RebuildFile& f : files) fs.Remove(f.outputPath);
            return "Der wiederhergestellte Datenträger " + d.name +
                   " stimmt nicht mit den Wiederherstellungsdaten überein; es wurde nichts "
                   "ersetzt.";
        }
    }
    // A volume of another set is not ours to destroy: it keeps its bytes
    // under the name with ".fremd" added.
    for (const std::string& path : foreign) {
        if (!platform::RenameFile(path, path + ".fremd")) {
            for (const par2::RebuildFile& f : files) fs.Remove(f.outputPath);
            return texts::kWriteError;
        }
    }
    for (const auto& [from, to] : moves) {
        if (!platform::RenameFile(from, to)) {
            for (const par2::RebuildFile& f : files) fs.Remove(f.outputPath);
            return texts::kWriteError;
        }
        rebuilt->push_back(to);
    }
    return {};
}

}  // namespace tolvane
