#pragma once
// File names and file operations. Inside the program a path uses "/" and a
// directory ends with "/"; "\" typed or stored is accepted. Existing files are
// found whatever the case of their names. Nothing here changes the current
// directory; a relative name is taken from it, as the system takes it.

#include <vector>

#include "platform/rtl/types.h"

// "\" becomes "/" and repeated separators become one ("//" at the start too).
String NormalizePath(const String& Path);
// Path with one "/" at its end ("" stays "").
String IncludeTrailingPathDelimiter(const String& Path);
// Path without its "/" at the end; "/" itself stays "/".
String ExcludeTrailingPathDelimiter(const String& Path);
// Directory part, ending with "/": "a/b/c.dbf" -> "a/b/"; "c.dbf" -> "".
String ExtractFilePath(const String& FileName);
// Directory part without the final "/" (kept for the root): "a/b/c.dbf" -> "a/b".
String ExtractFileDir(const String& FileName);
// Name after the last separator: "a/b/c.dbf" -> "c.dbf".
String ExtractFileName(const String& FileName);
// Extension with its dot, of the name only: "a.b/c" -> "", "c.DBF" -> ".DBF".
String ExtractFileExt(const String& FileName);
// Replaces (or adds, or with "" removes) the extension of the name.
String ChangeFileExt(const String& FileName, const String& Extension);
// Absolute and without "." and ".." components; a relative name is taken from
// the current directory.
String ExpandFileName(const String& FileName);

// The existing file or directory Path names, matched component by component
// ignoring case ("data/CLIENT.DBF" finds "data/client.dbf"); from the first
// component that does not exist on, the name is kept as given. An exact match
// wins over other spellings. Normalised; a directory keeps its trailing "/".
String ResolvePath(const String& Path);

// Each one resolves Path first.
bool FileExists(const String& FileName);  // a file (not a directory)
bool DirectoryExists(const String& Dir);
// Size in bytes; -1 when the file does not exist.
Int64 FileSize(const String& FileName);
// Last modification as a local TDateTime; false when the file does not exist.
bool FileAge(const String& FileName, TDateTime& Modified);

// True when a file can be created in the directory (a probe file, removed again).
bool DirectoryWritable(const String& Dir);
// Creates one directory (its parent must exist); false on failure.
bool CreateDir(const String& Dir);
// Creates the directory and every missing parent; true when it exists afterwards.
bool ForceDirectories(const String& Dir);
// Removes an empty directory.
bool RemoveDir(const String& Dir);
// Flushes the directory's entries to the disk: the files made, renamed or removed
// in it before are as they are now after a power cut. False when it cannot.
bool SyncDirectory(const String& Dir);

// Deleting, replacing and renaming refuse (false) when another open holds the
// file (sharelocks::FileInUse), in this process or another.
bool DeleteFile(const String& FileName);
// Copies the bytes to NewName; with FailIfExists an existing NewName is kept
// and the result is false. The copy is written aside and renamed into place.
bool CopyFile(const String& ExistingName, const String& NewName, bool FailIfExists);
// Replaces the file's contents with Bytes the same way: written aside, then
// renamed into place. False when the file is in use or cannot be written.
bool WriteFileAtomically(const String& FileName, const String& Bytes);
// Moves the file; an existing NewName (found ignoring case) is replaced. A new
// spelling of the same name changes its case.
bool RenameFile(const String& OldName, const String& NewName);

enum TListKind { lkFiles = 1, lkDirectories = 2, lkAll = 3 };

// True when Name matches Pattern ignoring case: "*" any run, "?" one character,
// and "*." names without an extension.
bool MatchesPattern(const String& Name, const String& Pattern);
// Names (without the directory) in Dir matching Pattern, sorted ignoring case;
// "." and ".." are never listed. A missing directory gives an empty list.
std::vector<String> ListFiles(const String& Dir, const String& Pattern, TListKind Kinds = lkFiles);

// The executable's full name and its directory (ending with "/"), from /proc/self/exe.
String ProgramFileName();
String ProgramDir();
