#pragma once
// Free functions for paths and single files, and two text tests. "Backslash" is the platform's
// path delimiter (platform::kPathDelimiter); texts are UTF-8 and counted in characters.

#include <string>

namespace qor {

// path ending in the delimiter: unchanged when it ends in one already, else with one added.
std::string IncludeBackslash(const std::string& path);
// path without one trailing delimiter, when it ends in one.
std::string ExcludeBackslash(const std::string& path);
// The folder part of a path, up to and including its last delimiter (empty without one), and
// the name after it. Windows takes '/' as a delimiter too.
std::string ExtractFilePath(const std::string& path);
std::string ExtractFileName(const std::string& path);

// Whether the last characters of s are suffix: exactly when caseSensitive, else letter case
// ignored as NTFS compares names (each character's upper-case form). An empty suffix: true.
bool StrEndsWith(const std::string& s, const std::string& suffix, bool caseSensitive);
// Whether every character of s occurs in allowed; true for an empty s.
bool OnlyChars(const std::string& allowed, const std::string& s);

// Creates the folder path (trimmed, one trailing delimiter dropped) and its missing parents;
// true when it exists afterwards. Never raises.
bool MakeDir(const std::string& path);

// Makes an existing file writable and returns its attributes as they were (platform/FileOps.h
// bits); 0 for a missing file, which stays untouched.
int ClearFileAttrs(const std::string& path);

// Copies the file source to target, creating target's folder; an existing target is first
// deleted, into the trash when allowUndo. The copy is whole and flushed to disk when this
// returns true. When the old target cannot be deleted it stays as it was and the result is
// false. Copying a file onto itself is true and does nothing. Never raises.
bool CopyFileTo(const std::string& source, const std::string& target, bool allowUndo);

// Deletes the file path, into the trash when allowUndo, read-only or not; false for a missing
// file or one that stays.
bool DeleteFileEx(const std::string& path, bool allowUndo);

}  // namespace qor
