#pragma once
// The program's persistent settings: text values in the registry's machine or user branch.
// Key paths are given from the root with a leading backslash ("\Software\QOR Soft\Central").
// None of these raises or reports a failure: a refused machine-branch write lands in the user
// branch, a refused user-branch write is lost, and a value that cannot be read is empty.

#include <string>
#include <string_view>

namespace qor {

// The program's own key: "\Software\QOR Soft\" followed by ProgName().
std::string ProgKey();

// Writes value as text named name under key, created when missing.
void RegWriteStr(bool machine, std::string_view key, std::string_view name, std::string_view value);
// The text of the value (text or expandable text, nothing expanded), empty when missing. The
// key is created where the account may create it.
std::string RegReadStr(bool machine, std::string_view key, std::string_view name);

// The program's own key in the user branch.
void WriteSetting(std::string_view name, std::string_view value);
std::string ReadSetting(std::string_view name);
// The program's own key in the chosen branch.
void WriteProgSetting(bool machine, std::string_view name, std::string_view value);
std::string ReadProgSetting(bool machine, std::string_view name);

}  // namespace qor
