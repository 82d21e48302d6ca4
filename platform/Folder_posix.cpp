#include "platform/Folder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "platform/Errors.h"

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

std::u32string NtfsUpperCase(std::string_view name) {
  std::u32string out;
  out.reserve(name.size());
  const auto* s = reinterpret_cast<const std::uint8_t*>(name.data());
  const auto length = static_cast<std::int32_t>(name.size());
  std::int32_t i = 0;
  while (i < length) {
    const std::int32_t start = i;
    UChar32 c = 0;
    U8_NEXT(s, i, length, c);
    // A byte that is not UTF-8 keeps its own value, above every code point.
    out.push_back(c < 0 ? 0x110000 + s[start] : static_cast<char32_t>(u_toupper(c)));
  }
  return out;
}

std::vector<std::string> ListFolderFiles(const std::string& folder, std::string_view extension) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) {
    throw EInOutError("Impossible de lire le dossier \"" + folder + "\" : " + std::strerror(errno) +
                      ".");
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

}  // namespace qor::platform
