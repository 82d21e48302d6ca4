#include "util/Settings.h"

#include <optional>

#include "platform/Registry.h"
#include "util/Environment.h"

namespace qor {

namespace {

using platform::RegRoot;

RegRoot RootOf(bool machine) {
  return machine ? RegRoot::LocalMachine : RegRoot::CurrentUser;
}

// The leading backslash only says "from the root"; the store takes the path without it.
std::string_view FromRoot(std::string_view key) {
  if (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  return key;
}

bool TryWrite(bool machine, std::string_view key, std::string_view name, std::string_view value) {
  try {
    const RegRoot root = RootOf(machine);
    return platform::RegCreateKeyPath(root, key) &&
           platform::RegWriteValue(root, key, name, RegValue::Text(value));
  } catch (...) {
    return false;
  }
}

// The value's text; nullopt on an error, which sends a machine-branch read to the user branch.
std::optional<std::string> TryRead(bool machine, std::string_view key, std::string_view name) {
  try {
    std::optional<RegValue> value;
    if (!machine || !platform::ReadForeignValue(key, name, value)) {
      // The user's own key is opened as the system opened it, with full access, which makes it
      // when missing. The machine branch is only read: an account that may not write it (most
      // of them) still finds what it holds.
      if (!machine) platform::RegCreateKeyPath(RegRoot::CurrentUser, key);
      value = platform::RegReadValue(RootOf(machine), key, name);
    }
    if (!value || value->data.empty()) return std::string();
    if (!value->IsText()) return std::nullopt;
    std::string text = value->AsText();
    if (const std::size_t zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
    return text;
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

std::string ProgKey() {
  return "\\Software\\QOR Soft\\" + ProgName();
}

void RegWriteStr(bool machine, std::string_view key, std::string_view name,
                 std::string_view value) {
  key = FromRoot(key);
  if (!TryWrite(machine, key, name, value) && machine) TryWrite(false, key, name, value);
}

std::string RegReadStr(bool machine, std::string_view key, std::string_view name) {
  key = FromRoot(key);
  std::optional<std::string> text = TryRead(machine, key, name);
  if (!text && machine) text = TryRead(false, key, name);
  // A non-text value on the user branch reads as empty as well: the system writes only texts.
  return text.value_or(std::string());
}

// Building the key can only fail for want of memory; the caller hears nothing of it either.
void WriteSetting(std::string_view name, std::string_view value) {
  WriteProgSetting(false, name, value);
}

std::string ReadSetting(std::string_view name) {
  return ReadProgSetting(false, name);
}

void WriteProgSetting(bool machine, std::string_view name, std::string_view value) {
  try {
    RegWriteStr(machine, ProgKey(), name, value);
  } catch (...) {
  }
}

std::string ReadProgSetting(bool machine, std::string_view name) {
  try {
    return RegReadStr(machine, ProgKey(), name);
  } catch (...) {
    return std::string();
  }
}

}  // namespace qor
