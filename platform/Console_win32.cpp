#include "platform/Console.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>

#include "platform/Text_win32.h"

namespace qor::platform {

namespace {

// What one WriteConsoleW call takes at most; older consoles refuse large writes.
constexpr std::size_t kConsoleChunk = 8192;

void Write(DWORD which, std::string_view text) {
  const HANDLE out = ::GetStdHandle(which);
  if (out == nullptr || out == INVALID_HANDLE_VALUE || text.empty()) return;
  DWORD mode = 0;
  if (::GetConsoleMode(out, &mode)) {
    // A console shows characters: it takes UTF-16 whatever its code page.
    const std::wstring wide = Wide(text);
    std::size_t done = 0;
    while (done < wide.size()) {
      std::size_t chunk = std::min(wide.size() - done, kConsoleChunk);
      // A surrogate pair stays within one call.
      if (done + chunk < wide.size() && IS_HIGH_SURROGATE(wide[done + chunk - 1])) --chunk;
      DWORD put = 0;
      if (!::WriteConsoleW(out, wide.data() + done, static_cast<DWORD>(chunk), &put, nullptr) ||
          put == 0) {
        return;
      }
      done += put;
    }
    return;
  }
  // A file or a pipe gets the UTF-8 bytes as they are, without turning "\n" into "\r\n".
  while (!text.empty()) {
    DWORD put = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
    if (!::WriteFile(out, text.data(), chunk, &put, nullptr) || put == 0) return;
    text.remove_prefix(put);
  }
}

}  // namespace

std::vector<std::string> CommandLineArguments(int /*argc*/, char** /*argv*/) {
  // The narrow arguments are in the ANSI code page: the UTF-16 command line has every name.
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

void WriteOut(std::string_view text) {
  Write(STD_OUTPUT_HANDLE, text);
}

void WriteErr(std::string_view text) {
  Write(STD_ERROR_HANDLE, text);
}

}  // namespace qor::platform
