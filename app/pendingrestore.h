#pragma once
// A restore made all or nothing across a power cut. The back-up's files are
// copied beside their targets as "<name>.NEW", each synced, and the directory is
// synced; then the marker RESTORE.PND is written and synced in the client's
// directory, naming every step that remains: the renames of the ".NEW" files over
// their targets and the removal of the old files that describe the old tables
// (index files, journals). Only then are the steps done and the directory synced;
// the indexes are built anew, and the marker goes last.
//
// The next opening of the client finishes what a cut left: with the marker there,
// every copy was complete, so the remaining renames and removals are done (roll
// forward) and the indexes built again, whatever state a cut build left them in;
// ".NEW" files without a marker are a restore cut while it copied, so they are
// removed and the old files stand.
//
// The marker is text, one step a line, each a word and a file name in the
// client's directory:
//   NEW CLIENT.DBF      rename CLIENT.DBF.NEW over CLIENT.DBF
//   OLD TOTTRANS.CDX    remove TOTTRANS.CDX
// A rename whose ".NEW" file is gone was done before the cut.

#include <vector>

#include "platform/rtl/types.h"

extern const char* const PendingRestoreMarker;  // "RESTORE.PND"
extern const char* const PendingCopySuffix;     // ".NEW"

struct TPendingRestore {
    std::vector<String> Replaced;  // file names renamed from "<name>.NEW" over "<name>"
    std::vector<String> Removed;   // file names removed once the renames are done
};

// Syncs the directory (the ".NEW" copies in it), then writes and syncs the
// marker naming Steps. False when any of it fails; no marker is left then.
bool BeginPendingRestore(const String& Dir, const TPendingRestore& Steps);
// The steps the marker in Dir names; false when there is no marker or it cannot
// be read whole.
bool ReadPendingRestore(const String& Dir, TPendingRestore& Steps);
// Does the steps still to do: the renames, the removals, then a directory sync.
// The names of the files whose rename or removal failed are returned (Dir when
// the sync failed); none when complete. The marker stays.
std::vector<String> CompletePendingRestore(const String& Dir, const TPendingRestore& Steps);
// Removes the marker once the restored tables' indexes are built, and syncs.
bool EndPendingRestore(const String& Dir);
// What the client's opening does before any table of Dir is opened: a restore
// cut after its copies were complete is finished, and ".NEW" files left by one
// cut before that are removed. True when Dir holds a complete set of files
// afterwards (the restored one or the old one); false when a cut restore could
// not be finished now (a file in use, a marker that cannot be read), and the
// client must not be opened.
// Finished tells whether a restore was rolled forward: its indexes are to be
// built, and EndPendingRestore called then.
bool FinishCutRestore(const String& Dir, bool& Finished);
