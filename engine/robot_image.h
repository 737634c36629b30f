// The robot image: the self-extracting stub's program file ("Robot.dat"),
// copied to the front of the first volume of a self-extracting set. It is
// checked whole before anything is written, so that a cut or foreign file
// never becomes a package.exe that cannot start.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/platform/file_system.h"

namespace tolvane {

// A text every robot image carries (the stub keeps it in its image); the
// archiver looks for it to tell a robot from any other program.
inline constexpr char kRobotImageMarker[] = "Tolvane-Robot-Abbild/1";

// True when image is a whole executable the build makes (an ELF or a PE
// image whose headers, segments and sections lie within its bytes) and
// carries the marker, and fits the stub area.
bool IsRobotImage(const std::vector<char>& image);

enum class RobotImageStatus { Ok, Missing, Damaged };
// Reads the robot image file at path into *image (at most the stub area,
// plus one byte to see an image that is too long) and checks it.
RobotImageStatus ReadRobotImage(platform::FileSystem& fs, const std::string& path,
                                std::vector<char>* image);

}  // namespace tolvane
