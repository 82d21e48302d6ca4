#pragma once
// The registry's two branches, as the program's settings and the simulator finder use them. On
// Windows they are the registry itself (HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, in the view a
// 32-bit program sees); elsewhere each branch is one store file (RegistryStore.h). Key paths
// run from the branch's root without a leading backslash ("Software\QOR Soft\QORBgl"), and a
// path NormalizeKeyPath refuses is refused on both systems. Key paths and value names match in
// any letter case. None of these raises.

#include <optional>
#include <string>
#include <string_view>

#include "text/RegistryText.h"

namespace qor::platform {

enum class RegRoot { LocalMachine, CurrentUser };

// Opens key with full access, creating it (and the keys above it) when missing, as
// RegCreateKeyEx does. False when the account may not, or the path is not valid.
bool RegCreateKeyPath(RegRoot root, std::string_view key);
// Sets name under key, created when missing; the same refusals as RegCreateKeyPath.
bool RegWriteValue(RegRoot root, std::string_view key, std::string_view name,
                   const RegValue& value);
// The value name of key, the key opened for reading only (an account that may not write the
// branch still reads it); nothing when the key or the value is missing or cannot be read.
std::optional<RegValue> RegReadValue(RegRoot root, std::string_view key, std::string_view name);

// Keys that belong to another program's registry on this platform: on Linux, the simulator's
// own keys, which it keeps, running under Wine, in the Wine prefix's machine registry
// (system.reg, with the 64-bit prefix's Wow6432Node copy of 32-bit programs' keys). They are
// read from there and never written or created. True when key is one of them; value then holds
// what was found. On Windows no key is foreign.
bool ReadForeignValue(std::string_view key, std::string_view name, std::optional<RegValue>& value);

}  // namespace qor::platform
