// The drivers of the copy operations: what the "Starten" button of a progress
// page runs. They call Copy or CopyBack once per volume, ask the retry
// question after every failed volume, and tell the caller what to show next.
// Every front end (the split and restore pages, the command line, the stub)
// runs the same drivers; none of them knows about pages or windows.
#pragma once

#include <string>

#include "engine/archive_set.h"
#include "engine/extractor.h"

namespace tolvane {

// What the caller shows after a press of "Starten".
enum class DriveOutcome {
    // Every volume is done: the completion page.
    Finished,
    // One volume is done and the insert prompt shown: the page stays.
    WaitingForNextMedium,
    // Refused with a message (no room, a limit): nothing written by this
    // press, the page stays.
    Stopped,
    // The retry question was answered Cancel: the start page.
    Cancelled,
    // The user stopped the run (SetStopFlag): what was written is cleaned up
    // and the message says what is left; the page where it began.
    Interrupted,
};

// --- split ---

// Empty when the chosen files can be archived under targetPath, else the
// message that refuses them: no target, a name the archive cannot hold or
// would give back under another name, two files of the same name (one would
// overwrite the other on restore), or a volume that would overwrite a chosen
// file.
std::string CheckSplitSources(QuellDateien& set);

// The split page's "Starten". Refuses sets the header cannot describe and the
// cases of CheckSplitSources (warning, caption "Tolvane"), then writes every
// volume when the target has room for the whole set, else one volume per call
// followed by the prompt for the next medium.
DriveOutcome StartSplit(QuellDateien& set);

// Writes every remaining volume after the all-volumes room check.
DriveOutcome WriteAllVolumes(QuellDateien& set);

// --- restore ---

// True when every volume file of the set can be opened (named from
// packagePath); only presence is tested.
bool AllPackagesPresent(QuellDateien& set, const RestoreVariant& variant = RestoreVariant());

// Empty when the files can be restored into targetPath, else the message that
// refuses it: no target folder, or a restored file that would overwrite one of
// the archive's own volumes.
std::string CheckRestoreTarget(QuellDateien& set, const RestoreVariant& variant = RestoreVariant());

// Whether the variant rebuilds volumes missing from the set's folder from
// the recovery data there: then the whole set is restored in one run.
bool RebuildsMissingVolumes(QuellDateien& set, const RestoreVariant& variant);

// Restores every remaining volume (all of them are at hand).
DriveOutcome RestoreAllVolumes(QuellDateien& set, const RestoreVariant& variant = RestoreVariant());

// The restore page's "Starten": every volume when all are present, else one
// volume per call followed by the prompt for the next medium.
DriveOutcome RestoreStep(QuellDateien& set, const RestoreVariant& variant = RestoreVariant());

// A restore the user stopped (SetStopFlag): says which file is written as
// far as it got and from which volume the run can be continued; Interrupted.
DriveOutcome RestoreInterrupted(QuellDateien& set);

}  // namespace tolvane
