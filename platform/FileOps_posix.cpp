#include "platform/FileOps.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/SysCalls_posix.h"

namespace qor::platform {

namespace {

namespace fs = std::filesystem;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) Sys().Close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now and reports whether the kernel accepted the last writes.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return Sys().Close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t n) {
  while (n > 0) {
    const ssize_t put = Sys().Write(fd, data, n);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (put == 0) return false;
    data += put;
    n -= static_cast<std::size_t>(put);
  }
  return true;
}

// Copies the bytes from `from` up to `to` of in at out's position.
bool CopyRange(int in, int out, off_t from, off_t to, std::vector<char>& buffer) {
  while (from < to) {
    const std::size_t n =
        static_cast<std::size_t>(std::min<off_t>(to - from, static_cast<off_t>(buffer.size())));
    const ssize_t got = Sys().PRead(in, buffer.data(), n, from);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return false;  // the file shrank meanwhile: no whole copy
    if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(got))) return false;
    from += got;
  }
  return true;
}

// Copies the size bytes of in to out. Only the parts of a sparse file that hold data are read
// and written; its holes stay holes in the copy, which then takes no more room than the file.
bool CopyBytes(int in, int out, off_t size) {
  std::vector<char> buffer(1 << 16);
  off_t at = 0;
  while (at < size) {
    off_t data = Sys().LSeek(in, at, SEEK_DATA);
    off_t hole = size;
    if (data < 0 && errno == ENXIO) break;  // nothing but a hole up to the end
    if (data < 0) {
      data = at;  // a file system that cannot tell: the whole rest, byte for byte
    } else {
      if (data >= size) break;
      hole = Sys().LSeek(in, data, SEEK_HOLE);
      if (hole < 0 || hole > size) hole = size;
    }
    if (data > at && Sys().LSeek(out, data, SEEK_SET) < 0) return false;
    if (!CopyRange(in, out, data, hole, buffer)) return false;
    at = hole;
  }
  // What lies past the size the file gave (it grew meanwhile, or its system does not know its
  // size) is copied as it comes, up to its end.
  off_t end = size;
  for (;;) {
    const ssize_t got = Sys().PRead(in, buffer.data(), buffer.size(), end);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) break;
    if (Sys().LSeek(out, end, SEEK_SET) < 0 ||
        !WriteAll(out, buffer.data(), static_cast<std::size_t>(got))) {
      return false;
    }
    end += got;
  }
  // A hole at the end is the file's length, not bytes.
  return Sys().FTruncate(out, end) == 0;
}

// Flushes a folder's entries, so that a new name in it survives a crash.
void SyncFolder(const std::string& folder) {
  Fd fd(Sys().Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (fd.get() >= 0) Sys().FSync(fd.get());
}

// Gives temporary the name target unless target exists, in one step where the file system
// allows it.
bool PlaceWithoutReplacing(const std::string& temporary, const std::string& target) {
  if (Sys().RenameNoReplace(temporary.c_str(), target.c_str()) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  // No atomic no-replace rename here: a hard link refuses an existing name as well.
  if (Sys().Link(temporary.c_str(), target.c_str()) == 0) {
    Sys().Unlink(temporary.c_str());
    return true;
  }
  return false;
}

void TakeBack(const std::vector<std::string>& made) {
  for (auto it = made.rbegin(); it != made.rend(); ++it) Sys().RmDir(it->c_str());
}

}  // namespace

bool MakeFolders(const std::string& folder, unsigned mode, std::vector<std::string>* made) {
  if (folder.empty()) return false;
  std::vector<fs::path> missing;
  fs::path p(folder);
  for (;;) {
    struct stat st {};
    if (Sys().Stat(p.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode)) return false;
      break;
    }
    if (errno != ENOENT) return false;
    missing.push_back(p);
    fs::path parent = p.parent_path();
    if (parent.empty() || parent == p) break;
    p = parent;
  }
  std::reverse(missing.begin(), missing.end());
  for (const fs::path& m : missing) {
    // "a/b/" has the parent "a/b" as well: the second mkdir of the same folder finds it made.
    if (Sys().MkDir(m.c_str(), static_cast<mode_t>(mode)) == 0) {
      if (made != nullptr) made->push_back(m.string());
    } else {
      struct stat st {};
      if (errno != EEXIST || Sys().Stat(m.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    }
  }
  return true;
}

bool CopyFileFlushed(const std::string& source, const std::string& target) {
  Fd in(Sys().Open(source.c_str(), O_RDONLY | O_CLOEXEC, 0));
  struct stat st {};
  if (in.get() < 0 || Sys().FStat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;

  const fs::path targetPath(target);
  if (!targetPath.has_filename()) return false;
  const std::string parent = targetPath.parent_path().string();
  const std::string folder = parent.empty() ? std::string(".") : parent;
  std::vector<std::string> made;
  if (!MakeFolders(folder, 0777, &made)) {
    TakeBack(made);
    return false;
  }

  // A short temporary name: target's own name may already use the whole name length.
  std::string temporary = folder + "/.qorbgl-copy-XXXXXX";
  Fd out(Sys().MkOSTemp(temporary.data(), O_CLOEXEC));
  if (out.get() < 0) {
    TakeBack(made);
    return false;
  }
  const timespec times[2] = {st.st_atim, st.st_mtim};
  const bool written = CopyBytes(in.get(), out.get(), st.st_size) &&
                       Sys().FChmod(out.get(), st.st_mode & 07777) == 0 &&
                       Sys().FUTimens(out.get(), times) == 0 && Sys().FSync(out.get()) == 0;
  if (!out.Close() || !written || !PlaceWithoutReplacing(temporary, target)) {
    Sys().Unlink(temporary.c_str());
    TakeBack(made);
    return false;
  }
  SyncFolder(folder);
  return true;
}

bool RenameFile(const std::string& from, const std::string& to) {
  if (!PlaceWithoutReplacing(from, to)) return false;
  const std::string folder = fs::path(to).parent_path().string();
  SyncFolder(folder.empty() ? std::string(".") : folder);
  return true;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  if (Sys().Rename(from.c_str(), to.c_str()) != 0) return false;
  const std::string folder = fs::path(to).parent_path().string();
  SyncFolder(folder.empty() ? std::string(".") : folder);
  return true;
}

std::optional<std::string> RealPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return std::nullopt;
  std::string result(resolved);
  std::free(resolved);
  return result;
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  return Sys().Stat(a.c_str(), &sa) == 0 && Sys().Stat(b.c_str(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool RemoveFile(const std::string& path) {
  struct stat st {};
  if (Sys().LStat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return Sys().Unlink(path.c_str()) == 0;
}

int FileAttributes(const std::string& path) {
  struct stat st {};
  if (Sys().Stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? kAttrReadOnly : 0;
}

int ClearAttributes(const std::string& path) {
  struct stat st {};
  if (Sys().Stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  const int before = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? kAttrReadOnly : 0;
  // Only a read-only file has something to clear; any other keeps its permissions.
  if (before != 0) Sys().Chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
  return before;
}

}  // namespace qor::platform
