#pragma once
// Single-file operations that the Windows shell performed for the program: a copy that is
// complete on disk before it counts, a plain delete, folder creation and the file attributes.

#include <optional>
#include <string>
#include <vector>

namespace qor::platform {

// The one Windows attribute bit the program looks at.
inline constexpr int kAttrReadOnly = 1;

// Creates folder and every missing parent with the permission bits mode (less the umask).
// True when folder exists afterwards. The folders created, outermost first, are appended to
// made so that a caller whose later step fails can take them back.
bool MakeFolders(const std::string& folder, unsigned mode,
                 std::vector<std::string>* made = nullptr);

// Copies the regular file source to target, creating target's missing folders. The bytes go
// to a temporary name beside target (the holes of a sparse source stay holes where the system
// allows), receive source's permission bits and modification time,
// are flushed to disk and only then take target's name, so a target that exists is always a
// whole copy. An existing target is never replaced: that is a failure. On failure nothing is
// left behind (neither the partial copy nor the folders made for it) and the result is false.
bool CopyFileFlushed(const std::string& source, const std::string& target);

// Gives the file `from` the name `to`, which must be free: an existing `to` is never replaced,
// that is a failure. The folder's new entry is flushed to disk. Both lie in one folder.
bool RenameFile(const std::string& from, const std::string& to);

// Gives the file `from` the name `to` in one step, replacing a file of that name, the folder's
// new entry flushed to disk. Both lie in one folder. False when it fails; `from` stays then.
bool ReplaceFile(const std::string& from, const std::string& to);

// The absolute path of the file or folder that path names, every link and "." or ".." resolved
// (Windows: the final path, its names as stored, long names). Nothing when there is none.
std::optional<std::string> RealPath(const std::string& path);

// True when both paths name one existing file (links followed): the same file system entry,
// reached by two spellings.
bool IsSameFile(const std::string& a, const std::string& b);

// Removes the file for good (a link itself, not what it points to); false when it stays.
bool RemoveFile(const std::string& path);

// The regular file's attributes as Windows bits: read-only when it has no write permission bit
// at all (as for File::OpenReadWrite). Hidden and system do not exist here: a leading dot is
// only part of a name. -1 when path names no regular file.
int FileAttributes(const std::string& path);

// Clears the read-only attribute of a regular file by giving it its owner's write bit, and
// returns its attributes as they were; 0 when path names no regular file.
int ClearAttributes(const std::string& path);

}  // namespace qor::platform
