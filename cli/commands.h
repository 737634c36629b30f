// The subcommands of tolvane-cli. Each returns the program's exit code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/archive_set.h"
#include "engine/extractor.h"

namespace tolvane::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Prints the problem and the usage text on stderr; returns kExitUsage.
int Usage(const char* problem);

int Info(const std::vector<std::string>& args);
int Split(const std::vector<std::string>& args);
int Extract(const std::vector<std::string>& args);
int Continue(const std::vector<std::string>& args);
int Repair(const std::vector<std::string>& args);

// A refusal of the command line itself: "Tolvane: text" on stderr.
void Fail(const std::string& text);
// The robot image "Robot.dat": beside the running tolvane-cli, else in the
// installation's stub folder (relative to the program, then absolute).
std::string DefaultRobotPath();

// Creates the target folder where it is missing; false (reported) when it
// cannot be made.
bool MakeFolder(const std::string& folder);
// The note shown while the next volume to read is awaited.
std::string NextVolumeToRead(const ArchiveSettings& settings, const RestoreVariant& variant);

// "1.44M", "zip100", "123456", ... as bytes; false when it is none of them.
bool ParseVolumeSize(const std::string& text, int64_t* bytes);

}  // namespace tolvane::cli
