// The subcommands of tolvane-cli. Each returns the program's exit code.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/archive_set.h"
#include "engine/extractor.h"

namespace tolvane::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
// Stopped by SIGINT or SIGTERM (128 + SIGINT, as shells report it).
inline constexpr int kExitInterrupted = 130;

// Set by SIGINT and SIGTERM; every command hands it to its archive set, whose
// copy stops at the next chunk.
std::atomic<bool>& StopSignal();

// Prints the problem and the usage text on stderr; returns kExitUsage.
int Usage(const char* problem);

int Info(const std::vector<std::string>& args);
int Split(const std::vector<std::string>& args);
int Extract(const std::vector<std::string>& args);
int Continue(const std::vector<std::string>& args);
int Repair(const std::vector<std::string>& args);
int Verify(const std::vector<std::string>& args);
int Rebuild(const std::vector<std::string>& args);

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

// Before an extraction writes anything: the files of the set that the target
// holds already are refused (named, as "Tolvane: ...") unless overwrite is
// given. True when it may go on.
bool MayOverwrite(QuellDateien& set, bool overwrite);

class CliDisplay;
// Writes the recovery data of the set just split (--recovery): every file at
// once, or one per medium after the prompt for it.
int WriteRecoveryData(QuellDateien& set, CliDisplay& display, int lostVolumes, bool pieces,
                      bool oneMediumEach);

// "1.44M", "zip100", "123456", ... as bytes; false when it is none of them.
bool ParseVolumeSize(const std::string& text, int64_t* bytes);

}  // namespace tolvane::cli
