#include "platform/SysCalls_posix.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>
#include <cstdlib>

namespace qor::platform {

namespace {
SysCalls realSysCalls;
}

SysCalls* detail::currentSysCalls = &realSysCalls;

int SysCalls::Open(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}
int SysCalls::OpenAt(int folder, const char* name, int flags, mode_t mode) {
  return ::openat(folder, name, flags, mode);
}
int SysCalls::Close(int fd) {
  return ::close(fd);
}
ssize_t SysCalls::Read(int fd, void* buffer, std::size_t n) {
  return ::read(fd, buffer, n);
}
ssize_t SysCalls::Write(int fd, const void* data, std::size_t n) {
  return ::write(fd, data, n);
}
ssize_t SysCalls::PRead(int fd, void* buffer, std::size_t n, off_t offset) {
  return ::pread(fd, buffer, n, offset);
}
ssize_t SysCalls::PWrite(int fd, const void* data, std::size_t n, off_t offset) {
  return ::pwrite(fd, data, n, offset);
}
int SysCalls::FSync(int fd) {
  return ::fsync(fd);
}
int SysCalls::FDataSync(int fd) {
  return ::fdatasync(fd);
}
int SysCalls::FStat(int fd, struct stat* st) {
  return ::fstat(fd, st);
}
int SysCalls::Stat(const char* path, struct stat* st) {
  return ::stat(path, st);
}
int SysCalls::LStat(const char* path, struct stat* st) {
  return ::lstat(path, st);
}
int SysCalls::MkOSTemp(char* pattern, int flags) {
  return ::mkostemp(pattern, flags);
}
int SysCalls::FChmod(int fd, mode_t mode) {
  return ::fchmod(fd, mode);
}
int SysCalls::Chmod(const char* path, mode_t mode) {
  return ::chmod(path, mode);
}
int SysCalls::FUTimens(int fd, const timespec times[2]) {
  return ::futimens(fd, times);
}
int SysCalls::RenameNoReplace(const char* from, const char* to) {
  return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}
int SysCalls::Rename(const char* from, const char* to) {
  return ::rename(from, to);
}
int SysCalls::Link(const char* from, const char* to) {
  return ::link(from, to);
}
int SysCalls::Unlink(const char* path) {
  return ::unlink(path);
}
int SysCalls::MkDir(const char* path, mode_t mode) {
  return ::mkdir(path, mode);
}
int SysCalls::RmDir(const char* path) {
  return ::rmdir(path);
}

int SysCalls::Flock(int fd, int operation) {
  return ::flock(fd, operation);
}

off_t SysCalls::LSeek(int fd, off_t offset, int whence) {
  return ::lseek(fd, offset, whence);
}

int SysCalls::FTruncate(int fd, off_t size) {
  return ::ftruncate(fd, size);
}

}  // namespace qor::platform
