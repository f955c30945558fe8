#include "platform/rtl/fileops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <functional>

#include "platform/rtl/datetime.h"
#include "platform/rtl/sharelocks.h"
#include "platform/rtl/strutils.h"

namespace {

bool IsSeparator(char C) { return C == '/' || C == '\\'; }

// Position just after the last separator of a normalised path (0 when none).
size_t NameStart(const String& Path)
{
    size_t slash = Path.rfind('/');
    return slash == String::npos ? 0 : slash + 1;
}

bool StatPath(const String& Path, struct stat& St) { return !Path.empty() && ::stat(Path.c_str(), &St) == 0; }

bool LinkExists(const String& Path)
{
    struct stat st;
    return ::lstat(Path.c_str(), &st) == 0;
}

// The entry of Dir (ending with "/", or "" for the current directory) whose
// name equals Name ignoring case (Windows-1252 letters too, as patterns match);
// the first in byte order when several do.
bool FindEntryIgnoringCase(const String& Dir, const String& Name, String& Found)
{
    DIR* dir = ::opendir(Dir.empty() ? "." : Dir.c_str());
    if (!dir)
        return false;
    bool found = false;
    String wanted = AnsiUpperCase(Name);
    while (struct dirent* entry = ::readdir(dir)) {
        String candidate = entry->d_name;
        if (AnsiUpperCase(candidate) == wanted && (!found || candidate < Found)) {
            Found = candidate;
            found = true;
        }
    }
    ::closedir(dir);
    return found;
}

int Close(int Fd) { return Fd >= 0 ? ::close(Fd) : 0; }

bool WriteAll(int Fd, const char* Data, size_t Count)
{
    for (size_t done = 0; done < Count;) {
        ssize_t put = ::write(Fd, Data + done, Count - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

// Writes all of Source's bytes to Target; false on any failure.
bool CopyBytes(int Source, int Target)
{
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(Source, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!WriteAll(Target, buffer, static_cast<size_t>(got)))
            return false;
    }
}

bool Matches(const char* Name, const char* Pattern)
{
    // Iterative "*" matching with one backtrack point.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*Name) {
        if (*Pattern == '*') {
            star = Pattern++;
            resume = Name;
        } else if (*Pattern == '?' || (*Pattern && AnsiUpperChar(*Pattern) == AnsiUpperChar(*Name))) {
            ++Pattern;
            ++Name;
        } else if (star) {
            Pattern = star + 1;
            Name = ++resume;
        } else {
            return false;
        }
    }
    while (*Pattern == '*')
        ++Pattern;
    return *Pattern == '\0';
}

}  // namespace

String NormalizePath(const String& Path)
{
    String result;
    result.reserve(Path.size());
    for (char c : Path) {
        if (IsSeparator(c)) {
            if (result.empty() || result.back() != '/')
                result += '/';
        } else {
            result += c;
        }
    }
    return result;
}

String IncludeTrailingPathDelimiter(const String& Path)
{
    String result = NormalizePath(Path);
    if (!result.empty() && result.back() != '/')
        result += '/';
    return result;
}

String ExcludeTrailingPathDelimiter(const String& Path)
{
    String result = NormalizePath(Path);
    if (result.size() > 1 && result.back() == '/')
        result.pop_back();
    return result;
}

String ExtractFilePath(const String& FileName)
{
    String path = NormalizePath(FileName);
    return path.substr(0, NameStart(path));
}

String ExtractFileDir(const String& FileName)
{
    String dir = ExtractFilePath(FileName);
    if (dir.size() > 1)
        dir.pop_back();
    return dir;
}

String ExtractFileName(const String& FileName)
{
    String path = NormalizePath(FileName);
    return path.substr(NameStart(path));
}

String ExtractFileExt(const String& FileName)
{
    String name = ExtractFileName(FileName);
    size_t dot = name.rfind('.');
    return dot == String::npos ? String() : name.substr(dot);
}

String ChangeFileExt(const String& FileName, const String& Extension)
{
    String path = NormalizePath(FileName);
    size_t start = NameStart(path);
    size_t dot = path.rfind('.');
    if (dot == String::npos || dot < start)
        dot = path.size();
    return path.substr(0, dot) + Extension;
}

String ExpandFileName(const String& FileName)
{
    String path = NormalizePath(FileName);
    if (path.empty() || path[0] != '/') {
        char cwd[4096];
        String base = ::getcwd(cwd, sizeof cwd) ? cwd : "/";
        path = IncludeTrailingPathDelimiter(base) + path;
    }
    String last = path.substr(NameStart(path));
    bool isDir = last.empty() || last == "." || last == "..";
    std::vector<String> parts;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = std::min(path.find('/', start), path.size());
        String part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    String result;
    for (const String& part : parts)
        result += "/" + part;
    if (result.empty() || isDir)
        result += '/';
    return result;
}

String ResolvePath(const String& Path)
{
    String path = NormalizePath(Path);
    if (path.empty())
        return path;
    String result = path[0] == '/' ? "/" : "";
    size_t start = result.size();
    while (start < path.size()) {
        size_t end = path.find('/', start);
        bool last = end == String::npos;
        String part = path.substr(start, last ? String::npos : end - start);
        String found;
        if (LinkExists(result + part)) {
            result += part;
        } else if (FindEntryIgnoringCase(result, part, found)) {
            result += found;
        } else {
            // Nothing further can exist: keep the rest as given.
            return result + path.substr(start);
        }
        if (!last)
            result += '/';
        start = last ? path.size() : end + 1;
    }
    return result;
}

bool FileExists(const String& FileName)
{
    struct stat st;
    return StatPath(ResolvePath(FileName), st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const String& Dir)
{
    struct stat st;
    return StatPath(ResolvePath(Dir), st) && S_ISDIR(st.st_mode);
}

Int64 FileSize(const String& FileName)
{
    struct stat st;
    if (!StatPath(ResolvePath(FileName), st) || S_ISDIR(st.st_mode))
        return -1;
    return static_cast<Int64>(st.st_size);
}

bool FileAge(const String& FileName, TDateTime& Modified)
{
    struct stat st;
    if (!StatPath(ResolvePath(FileName), st))
        return false;
    std::tm local {};
    if (!::localtime_r(&st.st_mtim.tv_sec, &local))
        return false;
    Modified = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
               EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59),
                          static_cast<int>(st.st_mtim.tv_nsec / 1000000));
    return true;
}

bool DirectoryWritable(const String& Dir)
{
    const String probe = IncludeTrailingPathDelimiter(ResolvePath(Dir)) + "WRITABLE.TMP";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

bool CreateDir(const String& Dir)
{
    String dir = ExcludeTrailingPathDelimiter(ResolvePath(Dir));
    return !dir.empty() && ::mkdir(dir.c_str(), 0777) == 0;
}

bool ForceDirectories(const String& Dir)
{
    String dir = IncludeTrailingPathDelimiter(ResolvePath(Dir));
    if (dir.empty())
        return false;
    for (size_t slash = dir.find('/', 1); slash != String::npos; slash = dir.find('/', slash + 1)) {
        String prefix = dir.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    return DirectoryExists(dir);
}

bool RemoveDir(const String& Dir)
{
    String dir = ExcludeTrailingPathDelimiter(ResolvePath(Dir));
    return !dir.empty() && ::rmdir(dir.c_str()) == 0;
}

bool SyncDirectory(const String& Dir)
{
    const String dir = ExcludeTrailingPathDelimiter(ResolvePath(Dir));
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return Close(fd) == 0 && synced;
}

bool DeleteFile(const String& FileName)
{
    String path = ResolvePath(FileName);
    sharelocks::FileClaim claim;
    if (path.empty() || !claim.Claim(path))
        return false;
    return ::unlink(path.c_str()) == 0;
}

namespace {

// Writes a new version of Target aside (Fill writes the bytes to the descriptor),
// then moves it into place, so that a crash leaves the old file or the new one,
// never half of it. Mode and times apply to the new file (times may be null).
bool ReplaceFile(const String& Target, bool FailIfExists, mode_t Mode, const struct timespec* Times,
                 const std::function<bool(int)>& Fill)
{
    if (Target.empty() || Target.back() == '/')
        return false;
    bool targetExists = LinkExists(Target);
    if (targetExists && FailIfExists)
        return false;
    sharelocks::FileClaim claim;
    if (targetExists && !claim.Claim(Target))
        return false;
    String temp = ExtractFilePath(Target) + "." + ExtractFileName(Target) + ".XXXXXX";
    int out = ::mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0)
        return false;
    bool ok = Fill(out) && ::fchmod(out, Mode) == 0 && (!Times || ::futimens(out, Times) == 0) &&
              ::fsync(out) == 0;
    ok = Close(out) == 0 && ok;
    if (ok) {
        // link() refuses an existing name, so a file created meanwhile is kept.
        ok = FailIfExists ? ::link(temp.c_str(), Target.c_str()) == 0
                          : ::rename(temp.c_str(), Target.c_str()) == 0;
    }
    if (!ok || FailIfExists)
        ::unlink(temp.c_str());
    return ok;
}

mode_t NewFileMode()
{
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

bool CopyFile(const String& ExistingName, const String& NewName, bool FailIfExists)
{
    String source = ResolvePath(ExistingName);
    struct stat st;
    if (!StatPath(source, st) || S_ISDIR(st.st_mode))
        return false;
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    // The copy keeps the source's permissions and modification time.
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    bool ok = ReplaceFile(ResolvePath(NewName), FailIfExists, st.st_mode & 07777, times,
                          [in](int out) { return CopyBytes(in, out); });
    Close(in);
    return ok;
}

bool WriteFileAtomically(const String& FileName, const String& Bytes)
{
    String target = ResolvePath(FileName);
    struct stat st;
    mode_t mode = StatPath(target, st) ? (st.st_mode & 07777) : NewFileMode();
    return ReplaceFile(target, false, mode, nullptr,
                       [&Bytes](int out) { return WriteAll(out, Bytes.data(), Bytes.size()); });
}

bool RenameFile(const String& OldName, const String& NewName)
{
    String source = ResolvePath(OldName);
    String target = ResolvePath(NewName);
    // A new spelling of the same name changes only its case.
    if (target == source)
        target = ResolvePath(ExtractFilePath(NewName)) + ExtractFileName(NewName);
    if (source.empty() || target.empty() || !LinkExists(source))
        return false;
    sharelocks::FileClaim sourceClaim;
    sharelocks::FileClaim targetClaim;
    if (!sourceClaim.Claim(source))
        return false;
    if (target != source && LinkExists(target) && !targetClaim.Claim(target))
        return false;
    return ::rename(source.c_str(), target.c_str()) == 0;
}

bool MatchesPattern(const String& Name, const String& Pattern)
{
    if (Matches(Name.c_str(), Pattern.c_str()))
        return true;
    // As on the system the data comes from, a final "." stands for "no extension"
    // ("*." lists the names without a dot) and a final ".*" for "any extension or
    // none" ("*.*" lists everything).
    bool noDot = Name.find('.') == String::npos;
    size_t n = Pattern.size();
    if (noDot && n >= 1 && Pattern[n - 1] == '.')
        return Matches(Name.c_str(), Pattern.substr(0, n - 1).c_str());
    if (noDot && n >= 2 && Pattern.compare(n - 2, 2, ".*") == 0)
        return Matches(Name.c_str(), Pattern.substr(0, n - 2).c_str());
    return false;
}

std::vector<String> ListFiles(const String& Dir, const String& Pattern, TListKind Kinds)
{
    std::vector<String> names;
    String dir = IncludeTrailingPathDelimiter(ResolvePath(Dir));
    DIR* handle = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!handle)
        return names;
    while (struct dirent* entry = ::readdir(handle)) {
        String name = entry->d_name;
        if (name == "." || name == ".." || !MatchesPattern(name, Pattern))
            continue;
        struct stat st;
        if (!StatPath(dir + name, st))
            continue;
        TListKind kind = S_ISDIR(st.st_mode) ? lkDirectories : lkFiles;
        if (Kinds & kind)
            names.push_back(name);
    }
    ::closedir(handle);
    std::sort(names.begin(), names.end(), [](const String& A, const String& B) {
        int byText = CompareText(A, B);
        return byText != 0 ? byText < 0 : A < B;
    });
    return names;
}

String ProgramFileName()
{
    char buffer[4096];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return length > 0 ? String(buffer, static_cast<size_t>(length)) : String();
}

String ProgramDir() { return ExtractFilePath(ProgramFileName()); }
