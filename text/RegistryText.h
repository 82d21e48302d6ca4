#pragma once
// A registry branch in the text form Wine keeps in system.reg and user.reg: a header line
// "WINE REGISTRY Version 2", then one section per key, "[Key\\Path] seconds", followed by its
// values, "Name"="text", "Name"=str(2):"text", "Name"=dword:0000000a or "Name"=hex(N):01,02.
// The settings store keeps its branches in this form, and the simulator finder reads a Wine
// prefix's own files with the same parser. Only the text: the store files and Windows' letter
// case live in platform/ (RegistryStore.h, NameCase.h).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace qor {

// Value types, numbered as Windows numbers them.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

struct RegValue {
  std::uint32_t type = kRegNone;
  // The bytes as Windows stores them: texts in UTF-16LE with their terminating zero, a DWORD
  // in four bytes, least significant first.
  std::string data;

  // A text value of type kRegSz, kRegExpandSz or kRegMultiSz from UTF-8.
  static RegValue Text(std::string_view utf8, std::uint32_t type = kRegSz);
  static RegValue Dword(std::uint32_t number);
  // The data read as UTF-16LE, in UTF-8, without its terminating zero (embedded zeros stay).
  std::string AsText() const;
  bool IsText() const { return type == kRegSz || type == kRegExpandSz; }
  bool operator==(const RegValue&) const = default;
};

// How key paths and value names match: two names are the same name when their folded forms are
// equal. Windows matches them in any letter case, so the stores give platform/NameCase.h's
// NtfsUpperCase; the text form itself knows no letter case.
using NameFold = std::u32string (*)(std::string_view name);

class RegKey {
 public:
  RegKey(std::string path, std::int64_t modified, NameFold fold)
      : path(std::move(path)), modified(modified), fold_(fold) {}

  // From the root, one backslash between the names, spelled as the key was created.
  std::string path;
  // Last change, in seconds since 1970 (the number after the section's closing bracket).
  std::int64_t modified = 0;
  // In the order they were first written; the empty name is the key's default value ("@").
  std::vector<std::pair<std::string, RegValue>> values;

  // Value names match by the hive's fold.
  const RegValue* Find(std::string_view name) const;
  // Sets the value, keeping the spelling of a name that exists already.
  void Set(std::string_view name, RegValue value);

 private:
  NameFold fold_;
};

class RegistryHive {
 public:
  // An empty hive whose key paths and value names match by fold.
  explicit RegistryHive(NameFold fold) : fold_(fold) {}

  // The text without its header line is not a registry file of this form: nullopt. Inside, a
  // line that cannot be read is skipped, as Wine skips it, and the next one is read. Sections
  // and values whose names match by fold are one key, one value.
  static std::optional<RegistryHive> Parse(std::string_view text, NameFold fold);
  // The whole file, in ASCII: every character above 127 is written as a \x escape.
  std::string Serialize() const;

  // The root the key paths are relative to, from the ";; All keys relative to" line
  // ("\\Machine", "\\User\\S-1-5-21-..."); written back as it came.
  const std::string& RelativeTo() const { return relativeTo_; }
  void SetRelativeTo(std::string root) { relativeTo_ = std::move(root); }

  // Key paths match by the fold; a trailing backslash is allowed.
  const RegKey* FindKey(std::string_view path) const;
  // True for a key written in the file and for one above such a key (Wine leaves out the
  // sections of keys that hold nothing but keys).
  bool KeyExists(std::string_view path) const;
  // The key, created with this spelling when missing; nullptr when the path is not valid.
  RegKey* CreateKey(std::string_view path, std::int64_t now);
  const std::vector<RegKey>& Keys() const { return keys_; }

 private:
  NameFold fold_;
  std::string relativeTo_;
  std::vector<std::string> options_;  // global options such as "#arch=win32", kept as they came
  std::vector<RegKey> keys_;
  std::unordered_map<std::u32string, std::size_t> index_;  // folded path -> keys_
};

// The path with one trailing backslash dropped; nullopt when it starts with a backslash or
// holds an empty name between two backslashes (Windows refuses those). "" is the root itself.
std::optional<std::string> NormalizeKeyPath(std::string_view path);

}  // namespace qor
