#pragma once
// The registry branches of Linux: each is one store file in the text form of text/RegistryText.h:
//   user branch (HKEY_CURRENT_USER)     $XDG_CONFIG_HOME/QOR Soft/registry.reg
//                                       ($XDG_CONFIG_HOME unset or relative: ~/.config)
//   machine branch (HKEY_LOCAL_MACHINE) <first folder of $XDG_CONFIG_DIRS>/QOR Soft/registry.reg
//                                       ($XDG_CONFIG_DIRS unset or empty: /etc/xdg)
// Each operation opens the store, does its work and leaves nothing open. A change re-reads the
// store under an exclusive lock and replaces the file whole, so that two programs writing at
// once lose nothing and a crash leaves the previous store intact.

#include <optional>
#include <string>
#include <string_view>

#include "platform/Registry.h"
#include "text/RegistryText.h"

namespace qor::platform {

// The names below the configuration folders, kept in one place.
inline constexpr const char* kRegistryFolderName = "QOR Soft";
inline constexpr const char* kRegistryFileName = "registry.reg";

// The store file of a branch, as the environment places it now.
std::string RegistryStoreFile(RegRoot root);

class RegistryStore {
 public:
  explicit RegistryStore(RegRoot root);
  // A store in any file; relativeTo names its root in a new file's comment line.
  RegistryStore(std::string file, std::string relativeTo);

  const std::string& File() const { return file_; }

  // Whether this program may change the store, which opening a key with full access asks
  // for: the folder exists or can be made, and neither it nor the file is read-only. A file
  // or folder without any write permission bit counts as read-only, also for root.
  bool Writable() const;

  // Opens key with full access, creating it (and the keys above it) when missing, as
  // RegCreateKeyEx does. False when the store cannot be written, the path is not valid
  // (see NormalizeKeyPath) or the file is not a store of this form.
  bool CreateKey(std::string_view key) const;
  // Sets name under key (created when missing); the same refusals as CreateKey.
  bool WriteValue(std::string_view key, std::string_view name, const RegValue& value) const;

  // Reading needs no write access. A missing or unreadable store holds no key.
  bool KeyExists(std::string_view key) const;
  std::optional<RegValue> ReadValue(std::string_view key, std::string_view name) const;

 private:
  std::string file_;
  std::string relativeTo_;
};

}  // namespace qor::platform
