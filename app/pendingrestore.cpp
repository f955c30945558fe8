#include "app/pendingrestore.h"

#include "platform/rtl/fileops.h"
#include "platform/rtl/stringlist.h"

const char* const PendingRestoreMarker = "RESTORE.PND";
const char* const PendingCopySuffix = ".NEW";

namespace {

const char* const ReplacedWord = "NEW ";
const char* const RemovedWord = "OLD ";

String MarkerText(const TPendingRestore& Steps)
{
    String text;
    for (const String& name : Steps.Replaced)
        text += ReplacedWord + name + "\n";
    for (const String& name : Steps.Removed)
        text += RemovedWord + name + "\n";
    return text;
}

// The file named in a marker's line after its word; "" when the line has
// another word, or a name that would leave the client's directory.
String NamedFile(const String& Line, const char* Word)
{
    const String word = Word;
    if (Line.compare(0, word.size(), word) != 0)
        return "";
    const String name = Line.substr(word.size());
    return name.find('/') == String::npos && name.find('\\') == String::npos && name != "." && name != ".."
                   ? name
                   : String();
}

}  // namespace

bool BeginPendingRestore(const String& Dir, const TPendingRestore& Steps)
{
    // The copies' names must be on the disk before the marker that trusts them.
    if (!SyncDirectory(Dir))
        return false;
    const String marker = Dir + PendingRestoreMarker;
    if (WriteFileAtomically(marker, MarkerText(Steps)) && SyncDirectory(Dir))
        return true;
    if (FileExists(marker))
        DeleteFile(marker);
    return false;
}

bool ReadPendingRestore(const String& Dir, TPendingRestore& Steps)
{
    const String marker = Dir + PendingRestoreMarker;
    if (!FileExists(marker))
        return false;
    TStringList lines;
    try {
        lines.LoadFromFile(marker);
    } catch (const Exception&) {
        return false;
    }
    Steps = {};
    for (int i = 0; i < lines.Count(); ++i) {
        const String line = lines[i];
        if (line.empty())
            continue;
        if (const String name = NamedFile(line, ReplacedWord); !name.empty())
            Steps.Replaced.push_back(name);
        else if (const String old = NamedFile(line, RemovedWord); !old.empty())
            Steps.Removed.push_back(old);
        else
            return false;
    }
    return true;
}

std::vector<String> CompletePendingRestore(const String& Dir, const TPendingRestore& Steps)
{
    std::vector<String> failed;
    for (const String& name : Steps.Replaced) {
        const String copy = Dir + name + PendingCopySuffix;
        if (FileExists(copy) && !RenameFile(copy, Dir + name))
            failed.push_back(Dir + name);
    }
    // The old index files and journals describe the old tables: once a new table
    // stands they must go, or they would be read against it.
    if (failed.empty())
        for (const String& name : Steps.Removed)
            if (FileExists(Dir + name) && !DeleteFile(Dir + name))
                failed.push_back(Dir + name);
    if (failed.empty() && !SyncDirectory(Dir))
        failed.push_back(Dir);
    return failed;
}

bool EndPendingRestore(const String& Dir)
{
    return DeleteFile(Dir + PendingRestoreMarker) && SyncDirectory(Dir);
}

bool FinishCutRestore(const String& Dir, bool& Finished)
{
    Finished = false;
    TPendingRestore steps;
    if (ReadPendingRestore(Dir, steps)) {
        Finished = CompletePendingRestore(Dir, steps).empty();
        return Finished;
    }
    // A marker that cannot be read is left for a person to judge, and so are the
    // copies it may need.
    if (FileExists(Dir + PendingRestoreMarker))
        return false;
    bool removed = false;
    for (const String& name : ListFiles(Dir, String("*") + PendingCopySuffix))
        removed = DeleteFile(Dir + name) || removed;
    if (removed)
        SyncDirectory(Dir);
    return true;
}
