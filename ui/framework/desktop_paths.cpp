#include "ui/framework/desktop_paths.h"

#include <sstream>

#include "engine/platform/file_system.h"
#include "ui/framework/ids.h"
#include "ui/framework/services.h"

namespace tolvane::ui {

using platform::JoinPath;

namespace {

// /proc/mounts writes blanks, tabs, new lines and backslashes in paths as
// three-digit octal escapes.
std::string DecodeMountField(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                out += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool IsRemovableMountPoint(const std::string& mountPoint) {
    for (const char* prefix : {"/media/", "/run/media/"}) {
        const std::string p = prefix;
        if (mountPoint.size() > p.size() && mountPoint.compare(0, p.size(), p) == 0) return true;
    }
    return false;
}

}  // namespace

DriveRoots MapDriveRoots(const std::string& mountsText, const std::string& home,
                         const std::string& user) {
    struct Mount {
        std::string device;
        std::string point;
    };
    std::vector<Mount> removable;
    std::istringstream lines(mountsText);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, point;
        if (!(fields >> device >> point)) continue;
        point = DecodeMountField(point);
        if (IsRemovableMountPoint(point)) removable.push_back({DecodeMountField(device), point});
    }
    const std::string mediaFolder = user.empty() ? "/media" : "/media/" + user;
    DriveRoots roots;
    roots.a = removable.size() > 0 ? removable[0].point : mediaFolder;
    roots.b = removable.size() > 1 ? removable[1].point : mediaFolder;
    auto deviceOf = [](const Mount& m) {
        return m.device.rfind("/dev/", 0) == 0 ? m.device : std::string();
    };
    if (removable.size() > 0) roots.aDevice = deviceOf(removable[0]);
    if (removable.size() > 1) roots.bDevice = deviceOf(removable[1]);
    roots.hardDisk = home.empty() ? "/" : home;
    return roots;
}

std::optional<int> DriveNumberOfPath(const std::string& drive) {
    if (drive.empty()) return std::nullopt;
    if (drive[0] == 'a' || drive[0] == 'A') return 0;
    if (drive[0] == 'b' || drive[0] == 'B') return 1;
    return std::nullopt;
}

std::optional<ProgramCall> FormatterCall(
    int driveNumber, const DriveRoots& roots,
    const std::function<std::string(const std::string&)>& findProgram) {
    const std::string& device = driveNumber == 0 ? roots.aDevice : roots.bDevice;
    const std::string disks = findProgram("gnome-disks");
    if (!disks.empty()) {
        ProgramCall call{disks, {}};
        if (!device.empty()) call.args = {"--block-device", device, "--format-device"};
        return call;
    }
    const std::string partitionManager = findProgram("partitionmanager");
    if (!partitionManager.empty()) return ProgramCall{partitionManager, {}};
    return std::nullopt;
}

std::string FindHelpDocument(const std::string& currentDir, const std::string& programDir,
                             const std::string& dataDir,
                             const std::function<bool(const std::string&)>& exists) {
    for (const std::string* folder : {&currentDir, &programDir, &dataDir}) {
        if (folder->empty()) continue;
        const std::string path = JoinPath(*folder, kHelpDocument);
        if (exists(path)) return path;
    }
    return {};
}

std::string RobotImagePath(const std::string& programDir, const std::string& dataDir,
                           const std::function<bool(const std::string&)>& exists) {
    const std::string beside = JoinPath(programDir, "Robot.dat");
    if (!exists(beside) && !dataDir.empty()) {
        const std::string installed = JoinPath(dataDir, "Robot.dat");
        if (exists(installed)) return installed;
    }
    return beside;
}

std::optional<std::string> DriveRootOf(Shell& shell, int controlId) {
    switch (controlId) {
        case id::kSourceDriveA:
        case id::kTargetDriveA:
            return shell.CurrentDriveRoots().a;
        case id::kSourceDriveB:
        case id::kTargetDriveB:
            return shell.CurrentDriveRoots().b;
        case id::kSourceHardDisk:
        case id::kTargetHardDisk:
            return shell.CurrentDriveRoots().hardDisk;
        default:
            return std::nullopt;
    }
}

}  // namespace tolvane::ui
