#include "platform/File.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <thread>

#include "lang/Tr.h"
#include "platform/Errors.h"
#include "platform/Reason_posix.h"
#include "platform/SysCalls_posix.h"
#include "text/PathText.h"

namespace qor::platform {

namespace {

// The descriptor a File holds as its handle.
int FdOf(File::Handle handle) {
  return static_cast<int>(handle);
}

std::string Quoted(const std::string& path) {
  return QuotedPath(path);
}

// fd, just opened, when it is a regular file; raises the French error otherwise (a failed
// open, a folder, a pipe or a device), the descriptor closed.
int RegularFile(int fd, const std::string& path) {
  struct stat st {};
  const int error = fd < 0                      ? errno
                    : Sys().FStat(fd, &st) != 0 ? errno
                    : S_ISDIR(st.st_mode)       ? EISDIR
                    : !S_ISREG(st.st_mode)      ? EINVAL
                                                : 0;
  if (error != 0) {
    if (fd >= 0) Sys().Close(fd);
    throw EInOutError(
        Tr("Impossible d'ouvrir le fichier %1 : %2.", {Quoted(path), ReasonOfErrno(error)}));
  }
  return fd;
}

}  // namespace

std::unique_ptr<File> File::OpenReadWrite(const std::string& path) {
  struct stat st {};
  if (Sys().Stat(path.c_str(), &st) != 0) {
    throw EInOutError(
        Tr("Impossible d'ouvrir le fichier %1 : %2.", {Quoted(path), ReasonOfErrno(errno)}));
  }
  if (S_ISDIR(st.st_mode)) {
    throw EInOutError(
        Tr("Impossible d'ouvrir le fichier %1 : %2.", {Quoted(path), ReasonOfErrno(EISDIR)}));
  }
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    throw EInOutError(Tr(
        "Impossible d'ouvrir le fichier %1 en écriture : il est en lecture seule (accès refusé).",
        {Quoted(path)}));
  }
  const int fd = Sys().Open(path.c_str(), O_RDWR | O_CLOEXEC, 0);
  if (fd < 0) {
    throw EInOutError(
        Tr("Impossible d'ouvrir le fichier %1 : %2.", {Quoted(path), ReasonOfErrno(errno)}));
  }
  return std::unique_ptr<File>(new File(fd, path));
}

std::unique_ptr<File> File::OpenRead(const std::string& path) {
  // Non-blocking, so that a named pipe given a scenery file's name cannot stall the open.
  const int fd = Sys().Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
  return std::unique_ptr<File>(new File(RegularFile(fd, path), path));
}

std::unique_ptr<File> File::OpenOrCreate(const std::string& path) {
  const int fd = Sys().Open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
  return std::unique_ptr<File>(new File(RegularFile(fd, path), path));
}

bool File::Lock(std::chrono::milliseconds wait) {
  // Polled rather than blocking, so that the wait has an end.
  const auto until = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (Sys().Flock(FdOf(handle_), LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {
      throw EInOutError(
          Tr("Impossible de réserver le fichier %1 : %2.", {Quoted(path_), ReasonOfErrno(errno)}));
    }
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void File::Unlock() {
  Sys().Flock(FdOf(handle_), LOCK_UN);
}

namespace {

// Non-blocking, so that a named pipe or a device given a scenery file's name cannot stall us.
constexpr int kQuickLookFlags = O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

std::optional<std::size_t> ReadStartOfOpened(int fd, void* out, std::size_t n) {
  if (fd < 0) return std::nullopt;
  std::optional<std::size_t> result;
  struct stat st {};
  if (Sys().FStat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
      (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0) {
    ssize_t got = 0;
    do {
      got = Sys().PRead(fd, out, n, 0);
    } while (got < 0 && errno == EINTR);
    if (got >= 0) result = static_cast<std::size_t>(got);
  }
  Sys().Close(fd);
  return result;
}

}  // namespace

std::optional<std::size_t> ReadStartOfFile(const std::string& path, void* out, std::size_t n) {
  return ReadStartOfOpened(Sys().Open(path.c_str(), kQuickLookFlags, 0), out, n);
}

std::optional<OpenFolder> OpenFolder::Open(const std::string& path) {
  const int fd = Sys().Open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return std::nullopt;
  return OpenFolder(fd, path.empty() || path.back() == '/' ? path : path + '/');
}

OpenFolder::~OpenFolder() {
  if (handle_ >= 0) Sys().Close(static_cast<int>(handle_));
}

std::optional<std::size_t> ReadStartOfFile(const OpenFolder& folder, const std::string& name,
                                           void* out, std::size_t n) {
  // A name with a folder in it would leave the folder; an empty one would be the folder.
  if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;
  return ReadStartOfOpened(
      Sys().OpenAt(static_cast<int>(folder.handle_), name.c_str(), kQuickLookFlags, 0), out, n);
}

File::~File() {
  Sys().Close(FdOf(handle_));
}

std::uint64_t File::Size() const {
  struct stat st {};
  if (Sys().FStat(FdOf(handle_), &st) != 0) {
    throw EInOutError(Tr("Impossible de connaître la taille du fichier %1 : %2.",
                         {Quoted(path_), ReasonOfErrno(errno)}));
  }
  return static_cast<std::uint64_t>(st.st_size);
}

std::size_t File::ReadAt(std::uint64_t offset, void* buffer, std::size_t n) const {
  std::size_t done = 0;
  auto* out = static_cast<unsigned char*>(buffer);
  while (done < n) {
    const ssize_t got =
        Sys().PRead(FdOf(handle_), out + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EInOutError(
          Tr("Erreur de lecture dans le fichier %1 : %2.", {Quoted(path_), ReasonOfErrno(errno)}));
    }
    if (got == 0) break;  // end of file
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void File::WriteAt(std::uint64_t offset, const void* buffer, std::size_t n) {
  std::size_t done = 0;
  const auto* in = static_cast<const unsigned char*>(buffer);
  while (done < n) {
    const ssize_t put =
        Sys().PWrite(FdOf(handle_), in + done, n - done, static_cast<off_t>(offset + done));
    if (put < 0) {
      if (errno == EINTR) continue;
      throw EInOutError(
          Tr("Erreur d'écriture dans le fichier %1 : %2.", {Quoted(path_), ReasonOfErrno(errno)}));
    }
    if (put == 0) {
      throw EInOutError(
          Tr("Erreur d'écriture dans le fichier %1 : %2.", {Quoted(path_), ReasonOfErrno(ENOSPC)}));
    }
    done += static_cast<std::size_t>(put);
  }
}

namespace {

File::Stamp StampOf(const struct stat& st) {
  return File::Stamp{
      static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
      static_cast<std::uint64_t>(st.st_size),
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

}  // namespace

void File::Flush() {
  if (Sys().FDataSync(FdOf(handle_)) != 0) {
    throw EInOutError(Tr("Impossible d'écrire sur le disque le fichier %1 : %2.",
                         {Quoted(path_), ReasonOfErrno(errno)}));
  }
}

File::Stamp File::CurrentStamp() const {
  struct stat st {};
  if (Sys().FStat(FdOf(handle_), &st) != 0) {
    throw EInOutError(
        Tr("Impossible de lire l'état du fichier %1 : %2.", {Quoted(path_), ReasonOfErrno(errno)}));
  }
  return StampOf(st);
}

std::optional<File::Stamp> StampOfPath(const std::string& path) {
  struct stat st {};
  if (Sys().Stat(path.c_str(), &st) != 0) return std::nullopt;
  return StampOf(st);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return Sys().Stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return Sys().Stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ReasonOfErrno(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
      return Tr("accès refusé");
    case ENOENT:
      return Tr("fichier introuvable");
    case EISDIR:
      return Tr("c'est un dossier");
    case ENOTDIR:
      return Tr("chemin invalide");
    case ETXTBSY:
    case EBUSY:
      return Tr("fichier utilisé par un autre programme");
    case ENOSPC:
      return Tr("disque plein");
    case EDQUOT:
      return Tr("quota du disque dépassé");
    case EIO:
      return Tr("erreur d'entrée-sortie du disque");
    default:
      return std::strerror(error);
  }
}

}  // namespace qor::platform
