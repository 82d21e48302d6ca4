#pragma once
// The system calls of the file layer (File, the copy, the trash), behind one seam so that the
// tests can make any of them fail as a full disk or a dying disk would. The program goes
// through the real calls; the seam costs one indirect call each.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <ctime>

namespace qor::platform {

// The real calls. A test derives from it, overrides the calls it breaks and passes the others
// (or the same call at another moment) on to these.
class SysCalls {
 public:
  virtual ~SysCalls() = default;
  virtual int Open(const char* path, int flags, mode_t mode);
  // openat: a name inside an open folder.
  virtual int OpenAt(int folder, const char* name, int flags, mode_t mode);
  virtual int Close(int fd);
  virtual ssize_t Read(int fd, void* buffer, std::size_t n);
  virtual ssize_t Write(int fd, const void* data, std::size_t n);
  virtual ssize_t PRead(int fd, void* buffer, std::size_t n, off_t offset);
  virtual ssize_t PWrite(int fd, const void* data, std::size_t n, off_t offset);
  virtual int FSync(int fd);
  virtual int FDataSync(int fd);
  virtual int FStat(int fd, struct stat* st);
  virtual int Stat(const char* path, struct stat* st);
  virtual int LStat(const char* path, struct stat* st);
  virtual int MkOSTemp(char* pattern, int flags);
  virtual int FChmod(int fd, mode_t mode);
  virtual int Chmod(const char* path, mode_t mode);
  virtual int FUTimens(int fd, const timespec times[2]);
  // renameat2 with RENAME_NOREPLACE on paths relative to the working folder.
  virtual int RenameNoReplace(const char* from, const char* to);
  virtual int Rename(const char* from, const char* to);
  virtual int Link(const char* from, const char* to);
  virtual int Unlink(const char* path);
  virtual int MkDir(const char* path, mode_t mode);
  virtual int RmDir(const char* path);
  virtual int Flock(int fd, int operation);
  virtual off_t LSeek(int fd, off_t offset, int whence);
  virtual int FTruncate(int fd, off_t size);
};

namespace detail {
extern SysCalls* currentSysCalls;
}

// The calls in use: the real ones unless a test has put others in place.
inline SysCalls& Sys() {
  return *detail::currentSysCalls;
}

// Puts calls in place for its own lifetime (tests only; not safe while other threads run).
class ScopedSysCalls {
 public:
  explicit ScopedSysCalls(SysCalls& calls) : previous_(detail::currentSysCalls) {
    detail::currentSysCalls = &calls;
  }
  ~ScopedSysCalls() { detail::currentSysCalls = previous_; }
  ScopedSysCalls(const ScopedSysCalls&) = delete;
  ScopedSysCalls& operator=(const ScopedSysCalls&) = delete;

 private:
  SysCalls* previous_;
};

}  // namespace qor::platform
