#include "platform/RegistryStore.h"

#include "platform/Folder.h"
#include "platform/NameCase.h"
#include "platform/WinePaths.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace qor::platform {

namespace {

std::string Home() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return "/";
}

// The XDG base directory rules: a relative path in either variable is ignored.
std::string ConfigFolder(RegRoot root) {
  if (root == RegRoot::CurrentUser) {
    const char* value = std::getenv("XDG_CONFIG_HOME");
    return value != nullptr && *value == '/' ? std::string(value) : Home() + "/.config";
  }
  const char* value = std::getenv("XDG_CONFIG_DIRS");
  std::string_view dirs = value != nullptr ? value : "";
  while (!dirs.empty()) {
    const std::size_t colon = dirs.find(':');
    const std::string_view first = dirs.substr(0, colon);
    if (!first.empty() && first.front() == '/') return std::string(first);
    if (colon == std::string_view::npos) break;
    dirs.remove_prefix(colon + 1);
  }
  return "/etc/xdg";
}

std::string FolderOf(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

bool WritableEntry(const std::string& path, int mode) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) != 0 &&
         ::access(path.c_str(), mode) == 0;
}

// The store's text; "" for a missing file; nullopt when it cannot be read.
std::optional<std::string> ReadWhole(const std::string& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
  std::string text;
  char buffer[65536];
  while (true) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return text;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t put = ::write(fd, text.data(), text.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

std::string TempPrefix(const std::string& file) {
  return file.substr(file.rfind('/') + 1) + ".tmp-";
}

// Replaces the file whole: a temporary file beside it, flushed, then renamed over it, so that
// a reader sees the old store or the new one and never a part.
bool ReplaceFile(const std::string& file, const std::string& text) {
  std::string temp = FolderOf(file) + "/" + TempPrefix(file) + "XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  struct stat old {};
  const mode_t mode = ::stat(file.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(temp.c_str(), file.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  // The rename itself reaches the disk with the folder.
  if (const int dir = ::open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

// Temporary files are made only under the lock, so one found while holding it was left by a
// writer that died before its rename.
void RemoveLeftovers(const std::string& file) {
  const std::string folder = FolderOf(file);
  const std::string prefix = TempPrefix(file);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    if (std::string_view(entry->d_name).starts_with(prefix)) {
      ::unlink((folder + "/" + entry->d_name).c_str());
    }
  }
  ::closedir(dir);
}

std::optional<RegistryHive> Load(const std::string& file, const std::string& relativeTo) {
  const std::optional<std::string> text = ReadWhole(file);
  if (!text) return std::nullopt;
  if (text->empty()) {
    RegistryHive hive(NtfsUpperCase);
    hive.SetRelativeTo(relativeTo);
    return hive;
  }
  return RegistryHive::Parse(*text, NtfsUpperCase);
}

class StoreLock {
 public:
  explicit StoreLock(const std::string& file)
      : fd_(::open((file + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    if (fd_ < 0) return;
    int result = 0;
    do {
      result = ::flock(fd_, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~StoreLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_;
};

// One read-modify-write under the lock; change returns false to refuse.
template <class Change>
bool Modify(const RegistryStore& store, const std::string& relativeTo, Change change) {
  if (!store.Writable()) return false;
  const StoreLock lock(store.File());
  if (!lock.Held()) return false;
  RemoveLeftovers(store.File());
  std::optional<RegistryHive> hive = Load(store.File(), relativeTo);
  if (!hive || !change(*hive)) return false;
  return ReplaceFile(store.File(), hive->Serialize());
}

std::int64_t Now() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace

std::string RegistryStoreFile(RegRoot root) {
  return ConfigFolder(root) + "/" + kRegistryFolderName + "/" + kRegistryFileName;
}

RegistryStore::RegistryStore(RegRoot root)
    : RegistryStore(RegistryStoreFile(root),
                    root == RegRoot::LocalMachine ? "\\Machine" : "\\User\\Current") {}

RegistryStore::RegistryStore(std::string file, std::string relativeTo)
    : file_(std::move(file)), relativeTo_(std::move(relativeTo)) {}

bool RegistryStore::Writable() const {
  const std::string folder = FolderOf(file_);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec || !WritableEntry(folder, W_OK | X_OK)) return false;
  struct stat st {};
  if (::stat(file_.c_str(), &st) == 0 && !WritableEntry(file_, W_OK)) return false;
  return true;
}

bool RegistryStore::CreateKey(std::string_view key) const {
  if (!NormalizeKeyPath(key) || !Writable()) return false;
  const std::optional<RegistryHive> hive = Load(file_, relativeTo_);
  if (!hive) return false;
  if (hive->KeyExists(key)) return true;
  return Modify(*this, relativeTo_,
                [&](RegistryHive& fresh) { return fresh.CreateKey(key, Now()) != nullptr; });
}

bool RegistryStore::WriteValue(std::string_view key, std::string_view name,
                               const RegValue& value) const {
  if (!NormalizeKeyPath(key)) return false;
  return Modify(*this, relativeTo_, [&](RegistryHive& hive) {
    RegKey* target = hive.CreateKey(key, Now());
    if (target == nullptr) return false;
    target->Set(name, value);
    target->modified = Now();
    return true;
  });
}

bool RegistryStore::KeyExists(std::string_view key) const {
  const std::optional<RegistryHive> hive = Load(file_, relativeTo_);
  return hive && hive->KeyExists(key);
}

std::optional<RegValue> RegistryStore::ReadValue(std::string_view key,
                                                 std::string_view name) const {
  const std::optional<RegistryHive> hive = Load(file_, relativeTo_);
  if (!hive) return std::nullopt;
  const RegKey* found = hive->FindKey(key);
  if (found == nullptr) return std::nullopt;
  const RegValue* value = found->Find(name);
  return value != nullptr ? std::optional<RegValue>(*value) : std::nullopt;
}

bool RegCreateKeyPath(RegRoot root, std::string_view key) {
  try {
    return RegistryStore(root).CreateKey(key);
  } catch (...) {
    return false;
  }
}

bool RegWriteValue(RegRoot root, std::string_view key, std::string_view name,
                   const RegValue& value) {
  try {
    return RegistryStore(root).WriteValue(key, name, value);
  } catch (...) {
    return false;
  }
}

std::optional<RegValue> RegReadValue(RegRoot root, std::string_view key, std::string_view name) {
  try {
    return RegistryStore(root).ReadValue(key, name);
  } catch (...) {
    return std::nullopt;
  }
}

bool ReadForeignValue(std::string_view key, std::string_view name, std::optional<RegValue>& value) {
  static constexpr std::string_view kSimulatorVendor = "Software\\Microsoft\\Microsoft Games\\";
  if (key.size() < kSimulatorVendor.size() ||
      NtfsUpperCase(key.substr(0, kSimulatorVendor.size())) != NtfsUpperCase(kSimulatorVendor)) {
    return false;
  }
  const RegistryStore wine(WinePrefix() + "/system.reg", "\\Machine");
  value = wine.ReadValue(key, name);
  if (!value) {
    const std::string wow = "Software\\Wow6432Node\\" + std::string(key.substr(9));
    value = wine.ReadValue(wow, name);
  }
  return true;
}

}  // namespace qor::platform
