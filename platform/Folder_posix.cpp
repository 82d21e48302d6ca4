#include "platform/Folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <mntent.h>
#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>

#include "lang/Tr.h"
#include "platform/Errors.h"
#include "platform/NameCase.h"
#include "platform/Reason_posix.h"
#include "platform/SysCalls_posix.h"
#include "text/PathText.h"

namespace qor::platform {

namespace {

bool HasExtension(std::string_view name, std::string_view extension) {
  if (name.size() < extension.size() + 1) return false;
  const std::string_view tail = name.substr(name.size() - extension.size());
  if (name[name.size() - extension.size() - 1] != '.') return false;
  return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(a) == lower(b);
  });
}

}  // namespace

std::vector<std::string> ListFolderFiles(const std::string& folder, std::string_view extension) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) {
    throw EInOutError(
        Tr("Impossible de lire le dossier %1 : %2.", {QuotedPath(folder), ReasonOfErrno(errno)}));
  }
  std::string prefix = folder;
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  std::vector<std::string> found;
  std::vector<std::u32string> keys;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (!HasExtension(name, extension)) continue;
    // The entry's type spares a status query per file; links and unknown types need one.
    if (entry->d_type != DT_REG) {
      struct stat st {};
      if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) continue;
      if (::stat((prefix + entry->d_name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    }
    found.emplace_back(name);
    keys.push_back(NtfsUpperCase(name));
  }
  // By upper-case form, then by the name itself; the names are moved once, in the end.
  std::vector<std::size_t> order(found.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const int c = keys[a].compare(keys[b]);
    return c != 0 ? c < 0 : found[a] < found[b];
  });
  std::vector<std::string> names;
  names.reserve(found.size());
  for (const std::size_t i : order) names.push_back(std::move(found[i]));
  return names;
}

FolderState ProbeFolder(const std::string& folder, std::string& reason) {
  const int fd = Sys().Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd >= 0) {
    Sys().Close(fd);
    return FolderState::kReadable;
  }
  const int error = errno;
  if (error == ENOENT || error == ENOTDIR) return FolderState::kMissing;
  reason = ReasonOfErrno(error);
  return FolderState::kUnreadable;
}

std::vector<std::string> DriveRoots() {
  // The kernel's own file systems hold nothing a user browses for scenery.
  static constexpr std::string_view kPseudo[] = {
      "proc",     "sysfs",    "cgroup",     "cgroup2",     "devpts", "mqueue",
      "debugfs",  "tracefs",  "securityfs", "pstore",      "bpf",    "autofs",
      "fusectl",  "configfs", "hugetlbfs",  "binfmt_misc", "nsfs",   "devtmpfs",
      "efivarfs", "ramfs",    "rpc_pipefs", "overlay"};
  std::vector<std::string> roots = {"/"};
  std::unique_ptr<FILE, int (*)(FILE*)> mounts(::setmntent("/proc/self/mounts", "r"), ::endmntent);
  if (mounts) {
    while (const mntent* m = ::getmntent(mounts.get())) {
      const std::string_view type = m->mnt_type;
      if (std::find(std::begin(kPseudo), std::end(kPseudo), type) != std::end(kPseudo)) continue;
      std::string root = m->mnt_dir;
      if (root.empty() || root.back() != '/') root += '/';
      // Mount points below the system's own folders are the system's too.
      if (root.rfind("/proc/", 0) == 0 || root.rfind("/sys/", 0) == 0 ||
          root.rfind("/dev/", 0) == 0 || root.rfind("/run/", 0) == 0) {
        continue;
      }
      if (std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(root);
    }
  }
  std::sort(roots.begin(), roots.end());
  return roots;
}

std::vector<std::string> FolderEntryNames(const std::string& folder) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  return names;
}

}  // namespace qor::platform
