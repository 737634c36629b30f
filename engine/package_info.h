// Reads what one volume holds, for the package information page and
// "tolvane-cli info". A pure reader: it never touches an archive set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/display.h"
#include "engine/platform/file_system.h"

namespace tolvane {

struct PackageInfoRow {
    int number = 0;  // from 1
    std::string name;
    int64_t size = 0;
};

struct PackageInfo {
    enum class Status { Ok, OpenFailed, NotAPackage };
    Status status = Status::Ok;
    // The message that goes with a failure (text, caption, icon).
    std::string messageText;
    std::string messageCaption;
    Icon messageIcon = Icon::None;

    char magicLetter = 0;   // fourth letter of the magic: 'K' plain, 'E' self-extracting
    int volumeNumber = 0;   // "Archivnummer:"
    int volumeCount = 0;    // "Diskanzahl:"
    int fileCount = 0;      // "Dateianzahl:"
    int64_t totalSize = 0;  // "Gesamtgröße:"
    std::vector<PackageInfoRow> rows;
};

PackageInfo DiskInfoReadHeader(platform::FileSystem& fs, const std::string& path);

}  // namespace tolvane
