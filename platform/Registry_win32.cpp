#include "platform/Registry.h"

#include <windows.h>

#include <limits>

#include "platform/Text_win32.h"

namespace qor::platform {

namespace {

// FS2004 is a 32-bit program and writes its keys in that view, and so did this program: a
// 64-bit build must look in the same place.
constexpr REGSAM kView = KEY_WOW64_32KEY;

HKEY RootKey(RegRoot root) {
  return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The system takes names up to their first zero: a name holding one would reach another key or
// value than the one asked for, so it is refused instead.
std::optional<std::wstring> KeyPath(std::string_view key) {
  const std::optional<std::string> path = NormalizeKeyPath(key);
  if (!path || path->find('\0') != std::string::npos) return std::nullopt;
  return Wide(*path);
}

std::optional<std::wstring> ValueName(std::string_view name) {
  if (name.find('\0') != std::string_view::npos) return std::nullopt;
  return Wide(name);
}

// The key opened with full access, created with the keys above it when missing.
HKEY CreateFullAccess(RegRoot root, const std::wstring& path) {
  HKEY handle = nullptr;
  const LSTATUS status =
      ::RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS | kView, nullptr, &handle, nullptr);
  return status == ERROR_SUCCESS ? handle : nullptr;
}

class KeyCloser {
 public:
  explicit KeyCloser(HKEY key) : key_(key) {}
  ~KeyCloser() {
    if (key_ != nullptr) ::RegCloseKey(key_);
  }
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;

 private:
  HKEY key_;
};

}  // namespace

bool RegCreateKeyPath(RegRoot root, std::string_view key) {
  try {
    const std::optional<std::wstring> path = KeyPath(key);
    if (!path) return false;
    const HKEY handle = CreateFullAccess(root, *path);
    if (handle == nullptr) return false;
    ::RegCloseKey(handle);
    return true;
  } catch (...) {
    return false;
  }
}

bool RegWriteValue(RegRoot root, std::string_view key, std::string_view name,
                   const RegValue& value) {
  try {
    const std::optional<std::wstring> path = KeyPath(key);
    const std::optional<std::wstring> valueName = ValueName(name);
    if (!path || !valueName || value.data.size() > std::numeric_limits<DWORD>::max()) {
      return false;
    }
    const HKEY handle = CreateFullAccess(root, *path);
    if (handle == nullptr) return false;
    const KeyCloser closer(handle);
    return ::RegSetValueExW(handle, valueName->c_str(), 0, value.type,
                            reinterpret_cast<const BYTE*>(value.data.data()),
                            static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
  } catch (...) {
    return false;
  }
}

std::optional<RegValue> RegReadValue(RegRoot root, std::string_view key, std::string_view name) {
  try {
    const std::optional<std::wstring> path = KeyPath(key);
    const std::optional<std::wstring> valueName = ValueName(name);
    if (!path || !valueName) return std::nullopt;
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(RootKey(root), path->c_str(), 0, KEY_READ | kView, &handle) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    const KeyCloser closer(handle);
    RegValue value;
    DWORD size = 0;
    LSTATUS status =
        ::RegQueryValueExW(handle, valueName->c_str(), nullptr, nullptr, nullptr, &size);
    // Another program may lengthen the value between the two calls: ask again at its new size.
    for (int attempt = 0; attempt < 8 && (status == ERROR_SUCCESS || status == ERROR_MORE_DATA);
         ++attempt) {
      value.data.resize(size);
      DWORD type = REG_NONE;
      DWORD got = size;
      status = ::RegQueryValueExW(handle, valueName->c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(value.data.data()), &got);
      if (status == ERROR_SUCCESS) {
        value.type = type;
        value.data.resize(got);
        return value;
      }
      size = got;
    }
    return std::nullopt;
  } catch (...) {
    return std::nullopt;
  }
}

bool ReadForeignValue(std::string_view, std::string_view, std::optional<RegValue>&) {
  return false;
}

}  // namespace qor::platform
