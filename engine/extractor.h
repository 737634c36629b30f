// How a front end's extraction differs from the archiver's restore page.
//
// QuellDateien::CopyBack and the restore drivers are shared by the restore
// page, the command line and the stub. What differs between them is gathered
// here: which sets they accept, where failures are reported, the "working"
// status, the no-space report and the retry question. The defaults are the
// archiver's restore page; a front end derives and overrides what it does
// otherwise.
#pragma once

#include <string>
#include <vector>

#include "engine/archive_set.h"

namespace tolvane {

// The failures of one CopyBack call, in the order they can occur.
enum class RestoreFailure {
    VolumeMissing,  // the volume cannot be opened for its header check
    FileSize,       // a volume of the wrong size (or a last volume too short)
    OpenOutput,     // the output file cannot be opened at the start of the volume
    OpenVolume,     // the volume cannot be opened for reading
    Read,           // read error, or the volume ended before its data
    Write,          // fewer bytes written (or flushed) than read
    ReopenForTime,  // a completed file cannot be opened again to set its time
    ConvertTime,    // the stored time is not a valid time (extraction goes on)
    SetTime,        // the time cannot be set (extraction goes on)
    CreateNext,     // the output file of the next entry cannot be created
};

class RestoreVariant;

// What came of offering to rebuild a volume before it was restored.
enum class RebuildOutcome {
    NotOffered,  // the volume is at hand, or nothing to rebuild it from
    Rebuilt,     // it is there now, checked
    Declined,    // the user answered Nein
    Failed,      // reported (too little recovery data, a write error, ...)
    Stopped,     // the user stopped the run during the rebuild
};

// Rebuilds a missing or damaged volume from recovery data during a restore.
// The engine's recovery code (engine/recovery_restore.h) implements it; a
// front end that carries it sets RestoreVariant::rebuilder. The stub has no
// room for it and restores without.
class VolumeRebuilder {
  public:
    virtual ~VolumeRebuilder() = default;
    // Whether recovery data lies beside the set: then a volume missing from
    // its folder is rebuilt, not asked for on another medium.
    virtual bool Available(QuellDateien& set, const RestoreVariant& variant) const = 0;
    // Before volume currentVolume is restored: when it is missing, damaged
    // or another set's, asks whether to rebuild it and does so on Ja.
    virtual RebuildOutcome BeforeVolume(QuellDateien& set, const RestoreVariant& variant) const = 0;
};

class RestoreVariant {
  public:
    RestoreVariant() = default;
    RestoreVariant(const RestoreVariant&) = default;
    RestoreVariant& operator=(const RestoreVariant&) = default;
    virtual ~RestoreVariant() = default;

    // Also restore self-extracting sets: volume 1 named "exe" with its header
    // and data behind the stub area, "PACE" in every header. The archiver's
    // restore page leaves this off (it refuses such sets as wrong volumes).
    bool acceptSelfExtracting = false;
    // The header of the first volume was verified before (the stub checks
    // its own file at start-up), so it is not checked again. Its size still
    // is: a short first volume would shift every later file.
    bool firstVolumeVerified = false;
    // The file of volume 1 of the self-extracting layout when it is not
    // named like one ("package.exe"): a renamed first volume that was chosen.
    std::string firstVolumePath;
    // Offers to rebuild a bad volume from recovery data; none: never offered.
    // A plain pointer to a stateless object that lives for the program: the
    // stub copies variants and has no bytes to spare for counting owners.
    const VolumeRebuilder* rebuilder = nullptr;

    // True when the set in hand is restored with the self-extracting layout.
    bool SelfExtractingLayout(const ArchiveSettings& settings) const {
        return acceptSelfExtracting && settings.selfExtracting == 1;
    }

    // The file of volume number; default: packagePath with its last three
    // characters replaced by the number ("exe" for the first volume of the
    // self-extracting layout). The stub names its first volume by its own
    // path instead, whatever that file is called.
    virtual std::string VolumeFileName(const ArchiveSettings& settings, int number) const;
    // Reports a failure of CopyBack; default: the archiver's message boxes.
    virtual void ReportFailure(QuellDateien& set, RestoreFailure failure) const;
    // The output file the copy writes now; default: nothing shown.
    virtual void ShowOutputFile(QuellDateien& set, const std::string& outputPath) const;
    // The status while volumes are restored; default "bearbeite Dateien...".
    virtual void ShowWorking(QuellDateien& set) const;
    // Too little free space on the target; default: the restore page's warning.
    virtual void ReportNoSpace(QuellDateien& set) const;
    // A refusal before anything is restored (CheckRestoreTarget).
    virtual void ReportRefusal(QuellDateien& set, const std::string& text) const;
    // The retry question after a failed volume: 1 = rolled back, try again.
    virtual int AskRetry(QuellDateien& set) const;
};

// The output file of an entry: the target folder (one trailing "/" dropped)
// followed by "/" and the entry's bare name. Files go flat into the folder.
std::string OutputFileName(const std::string& targetFolder, const FileEntry& entry);

// The names of the files still to be restored (from current on) that the
// target folder holds already, in list order. The file a continued run goes
// on with (current, begun earlier: done > 0) is expected there and is not
// listed. Every front end asks or refuses with it before the first byte.
std::vector<std::string> ExistingOutputFiles(QuellDateien& set);
// The question over such names: up to ten of them, one a line, the count of
// the rest, then "sind im Zielverzeichnis schon vorhanden. Überschreiben?".
std::string OverwriteQuestion(const std::vector<std::string>& names);

}  // namespace tolvane
