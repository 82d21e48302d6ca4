#pragma once
// The one pair of conversions at the edge of Windows: texts are UTF-8 inside the program and
// UTF-16 at every Windows call. Both are text/Utf16.h's conversions, in Windows' wchar_t.

#include <string>
#include <string_view>

namespace qor::platform {

// UTF-8 to UTF-16; a byte that is not UTF-8 becomes U+FFFD.
std::wstring Wide(std::string_view utf8);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8(std::wstring_view wide);

// The French text of a Windows error code, for the messages (the system's own text when it
// has none of ours).
std::string ReasonOfError(unsigned long error);

}  // namespace qor::platform
