#pragma once
// An open file for positioned reads and writes, shared with other programs.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace qor::platform {

// The path delimiter of the system, and every character it takes as one.
#ifdef _WIN32
inline constexpr char kPathDelimiter = '\\';
inline constexpr std::string_view kPathDelimiters = "\\/";
#else
inline constexpr char kPathDelimiter = '/';
inline constexpr std::string_view kPathDelimiters = "/";
#endif

class File {
 public:
  // The system's handle of an open file: a descriptor, or a Windows handle.
  using Handle = std::intptr_t;

  // Opens an existing file for reading and writing. A file without any write permission bit
  // counts as read-only and is refused, also for the administrator, as the Windows attribute
  // would be. Raises EInOutError with a French text naming the file.
  static std::unique_ptr<File> OpenReadWrite(const std::string& path);
  // Opens an existing file for reading only (a read-only file too), shared with programs that
  // write it. Raises EInOutError with a French text naming the file.
  static std::unique_ptr<File> OpenRead(const std::string& path);

  // Opens the file for reading and writing, creating it empty (readable and writable by the
  // user only) when it does not exist: the program's own files, such as its journal. Raises
  // EInOutError with a French text naming the file.
  static std::unique_ptr<File> OpenOrCreate(const std::string& path);

  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  std::uint64_t Size() const;
  // Reads up to n bytes at offset; fewer only at the end of the file. Raises EInOutError.
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const;
  // Writes all n bytes at offset. Raises EInOutError.
  void WriteAt(std::uint64_t offset, const void* buffer, std::size_t n);

  // Makes the data written so far durable. Raises EInOutError.
  void Flush();

  // Takes the lock that every writer of this program takes on a file for the length of a
  // change, waiting up to `wait` for another holder to let it go. False when it is still held
  // then. The lock goes with Unlock, with the object, and with the process, however it ends.
  // Linux: an advisory lock of the whole open file (flock), which other programs may ignore.
  // Windows: an exclusive lock of one byte far past any data, so that reads and writes of the
  // file itself go on. Raises EInOutError when the system cannot lock the file at all.
  bool Lock(std::chrono::milliseconds wait);
  void Unlock();

  // What tells one state of a file from another: its identity on disk, size and time of change.
  struct Stamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const Stamp&) const = default;
    // One file on disk, whatever its state: reached by any of its paths.
    bool SameFile(const Stamp& other) const {
      return device == other.device && inode == other.inode;
    }
  };
  // The open file's stamp. Raises EInOutError.
  Stamp CurrentStamp() const;

  const std::string& Path() const { return path_; }

 private:
  File(Handle handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  Handle handle_;
  std::string path_;
};

// Reads the first n bytes of the file that OpenReadWrite would open, for a quick look at many
// files: one open, one status query, one read. Returns the count of bytes read (fewer for a
// shorter file), or nothing when OpenReadWrite would refuse the file (missing, not a regular
// file, read-only, no access) or the read fails.
std::optional<std::size_t> ReadStartOfFile(const std::string& path, void* out, std::size_t n);

// A folder held open, so that many of its files can be opened by name without the system
// walking the folder's path again for each of them.
class OpenFolder {
 public:
  // Nothing when the folder cannot be opened.
  static std::optional<OpenFolder> Open(const std::string& path);
  ~OpenFolder();
  OpenFolder(OpenFolder&& other) noexcept
      : handle_(std::exchange(other.handle_, -1)), path_(std::move(other.path_)) {}
  OpenFolder& operator=(OpenFolder&&) = delete;
  OpenFolder(const OpenFolder&) = delete;

 private:
  friend std::optional<std::size_t> ReadStartOfFile(const OpenFolder& folder,
                                                    const std::string& name, void* out,
                                                    std::size_t n);
  OpenFolder(std::intptr_t handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  std::intptr_t handle_;  // a descriptor where the system opens folders, else -1
  std::string path_;      // ending in the path delimiter
};

// The same for the file named `name` (no folder in it) inside folder.
std::optional<std::size_t> ReadStartOfFile(const OpenFolder& folder, const std::string& name,
                                           void* out, std::size_t n);

// The stamp of the file a path names now (links followed); nothing when there is none.
std::optional<File::Stamp> StampOfPath(const std::string& path);

// True when path names an existing regular file (links followed).
bool FileExists(const std::string& path);
// True when path names an existing folder (links followed).
bool FolderExists(const std::string& path);

}  // namespace qor::platform
