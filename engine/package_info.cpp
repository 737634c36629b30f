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
    const int64_t offset = IsSelfExtractingFirstVolumeName(path) ? kStubAreaSize : 0;
    FixedHead head;
    TextPart parsed;
    const bool isVolume = ReadVolumeHeader(*file, offset, &head, &parsed);
    file.reset();
    if (!isVolume) return notAPackage();
    info.magicLetter = head.magicLetter;
    info.volumeNumber = head.volumeNumber;
    info.volumeCount = head.volumeCount;
    info.fileCount = head.fileCount;
    info.totalSize = parsed.totalSize;
    int number = 1;
    for (const HeaderRecord& r : parsed.records) info.rows.push_back({number++, r.name, r.size});
    return info;
}

}  // namespace tolvane
