#include "engine/package_info.h"

#include "engine/archive_set.h"
#include "engine/texts.h"
#include "engine/volume_header.h"

namespace tolvane {

PackageInfo DiskInfoReadHeader(platform::FileSystem& fs, const std::string& path) {
    PackageInfo info;
    auto file = fs.Open(path, platform::OpenMode::Read);
    if (!file) {
        info.status = PackageInfo::Status::OpenFailed;
        info.messageText = texts::kFileNotFound;
        info.messageCaption = texts::kCapDiskInfoOpen;
        info.messageIcon = Icon::Error;
        return info;
    }
    auto notAPackage = [&info] {
        PackageInfo refused;
        refused.status = PackageInfo::Status::NotAPackage;
        refused.messageText = texts::kNotAPackage;
        refused.messageCaption = texts::kCapDiskInfoIsPackage;
        refused.messageIcon = Icon::Warning;
        info = refused;
        return info;
    };
    if (IsSelfExtractingFirstVolumeName(path) && !file->Seek(kStubAreaSize)) return notAPackage();
    uint8_t fixed[kFixedHeadSize];
    FixedHead head;
    if (file->Read(fixed, kFixedHeadSize) != kFixedHeadSize ||
        !ParseFixedHead(fixed, kFixedHeadSize, &head)) {
        return notAPackage();
    }
    std::vector<uint8_t> text(static_cast<size_t>(TextPartReadLimit(head.fileCount)));
    const int64_t n = file->Read(text.data(), static_cast<int64_t>(text.size()));
    file.reset();
    TextPart parsed;
    if (n < 0 || !ParseTextPart(text.data(), static_cast<size_t>(n), head.fileCount, &parsed)) {
        return notAPackage();
    }
    info.volumeNumber = head.volumeNumber;
    info.volumeCount = head.volumeCount;
    info.fileCount = head.fileCount;
    info.totalSize = parsed.totalSize;
    int number = 1;
    for (const HeaderRecord& r : parsed.records) info.rows.push_back({number++, r.name, r.size});
    return info;
}

}  // namespace tolvane
