#include "platform/Trash.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "platform/FileOps.h"
#include "platform/SysCalls_posix.h"
#include "text/Hex.h"
#include "text/Utf8.h"

namespace qor::platform {

namespace {

namespace fs = std::filesystem;

constexpr const char* kInfoSuffix = ".trashinfo";
// A name in files/ plus this suffix must still fit a file name (255 bytes here).
constexpr std::size_t kMaxEntryName = 255 - 10;
constexpr int kMaxAttempts = 10000;

std::string PercentEncoded(const std::string& path) {
  std::string out;
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.' || c == '~' || c == '/';
    if (plain) {
      out += ch;
    } else {
      out += '%';
      out += UpperHexDigit(c >> 4);
      out += UpperHexDigit(c);
    }
  }
  return out;
}

std::string LocalTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

// Cuts a UTF-8 text to at most n bytes without splitting a character.
std::string CutUtf8(const std::string& text, std::size_t n) {
  if (text.size() <= n) return text;
  while (n > 0 && IsContinuationByte(text[n])) --n;
  return text.substr(0, n);
}

// The name of the attempt-th entry for a file called name: name itself, then "stem.2.ext",
// "stem.3.ext"... The restore reads the original path from the info file, so a cut or
// numbered name loses nothing.
std::string EntryName(const std::string& name, int attempt) {
  std::string stem = name;
  std::string extension;
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0 && name.size() - dot <= 16) {
    stem = name.substr(0, dot);
    extension = name.substr(dot);
  }
  const std::string number = attempt > 1 ? "." + std::to_string(attempt) : "";
  const std::size_t room =
      kMaxEntryName - std::min(kMaxEntryName, number.size() + extension.size());
  return CutUtf8(stem, room) + number + extension;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t put = Sys().Write(fd, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

void SyncFolder(const std::string& folder) {
  const int fd = Sys().Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return;
  Sys().FSync(fd);
  Sys().Close(fd);
}

enum class Move { kDone, kNameTaken, kFailed };

// Moves source to entry, which must not exist yet; across file systems by a flushed copy.
Move MoveInto(const std::string& source, const std::string& entry) {
  if (Sys().RenameNoReplace(source.c_str(), entry.c_str()) == 0) {
    return Move::kDone;
  }
  if (errno == EEXIST) return Move::kNameTaken;
  if (errno == EINVAL || errno == ENOSYS) {
    // No atomic no-replace rename on this file system: the name was free a moment ago.
    struct stat st {};
    if (Sys().LStat(entry.c_str(), &st) == 0) return Move::kNameTaken;
    return Sys().Rename(source.c_str(), entry.c_str()) == 0 ? Move::kDone : Move::kFailed;
  }
  if (errno != EXDEV) return Move::kFailed;
  // The copy never replaces an existing entry; the original goes only once its copy is safe.
  struct stat st {};
  if (Sys().LStat(source.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return Move::kFailed;
  if (Sys().LStat(entry.c_str(), &st) == 0) return Move::kNameTaken;
  if (!CopyFileFlushed(source, entry)) return Move::kFailed;
  if (Sys().Unlink(source.c_str()) != 0) {
    Sys().Unlink(entry.c_str());
    return Move::kFailed;
  }
  return Move::kDone;
}

}  // namespace

std::string HomeTrashFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return std::string(data) + "/Trash";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/share/Trash";
  return "";
}

bool MoveToTrash(const std::string& path) {
  struct stat st {};
  if (path.empty() || Sys().LStat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  if (error || !absolute.has_filename()) return false;
  const std::string name = absolute.filename().string();

  const std::string trash = HomeTrashFolder();
  if (trash.empty()) return false;
  const std::string files = trash + "/files";
  const std::string info = trash + "/info";
  if (!MakeFolders(files, 0700) || !MakeFolders(info, 0700)) return false;

  const std::string contents = "[Trash Info]\nPath=" + PercentEncoded(absolute.string()) +
                               "\nDeletionDate=" + LocalTimeNow() + "\n";
  for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
    const std::string entry = EntryName(name, attempt);
    const std::string infoPath = info + "/" + entry + kInfoSuffix;
    // The info file, created exclusively, reserves the name among all trashing programs.
    const int fd = Sys().Open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    const bool written = WriteAll(fd, contents) && Sys().FSync(fd) == 0;
    if (Sys().Close(fd) != 0 || !written) {
      Sys().Unlink(infoPath.c_str());
      return false;
    }
    const Move moved = MoveInto(path, files + "/" + entry);
    if (moved == Move::kDone) {
      SyncFolder(files);
      return true;
    }
    Sys().Unlink(infoPath.c_str());
    if (moved == Move::kFailed) return false;
  }
  return false;
}

}  // namespace qor::platform
