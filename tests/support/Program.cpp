#include "tests/support/Program.h"

#include "tests/support/TempFolder.h"

#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace qor::test {

namespace {

#ifdef _WIN32
std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

// One argument as the C runtime's parser of the command line reads it back.
std::wstring Quoted(const std::wstring& arg) {
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    out.push_back(c);
  }
  out.append(2 * backslashes, L'\\');
  return out + L"\"";
}
#endif

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::map<std::string, std::string>& env) {
  return RunProgramKilled(program, args, env, std::chrono::microseconds::max());
}

ProgramRun RunProgramKilled(const std::string& program, const std::vector<std::string>& args,
                            const std::map<std::string, std::string>& env,
                            std::chrono::microseconds after) {
  const bool kill = after != std::chrono::microseconds::max();
  TempFolder dir;
  const std::string outPath = dir / "out";
  const std::string errPath = dir / "err";
  ProgramRun run;
#ifdef _WIN32
  std::wstring command = Quoted(Wide(program));
  for (const std::string& arg : args) command += L" " + Quoted(Wide(arg));
  // The environment block: this process's, with the variables given put in their place.
  std::map<std::wstring, std::wstring> vars;
  if (wchar_t* block = ::GetEnvironmentStringsW()) {
    for (const wchar_t* p = block; *p != L'\0'; p += std::wcslen(p) + 1) {
      const std::wstring entry = p;
      const std::size_t eq = entry.find(L'=', 1);
      if (eq != std::wstring::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    ::FreeEnvironmentStringsW(block);
  }
  for (const auto& [name, value] : env) vars[Wide(name)] = Wide(value);
  std::wstring block;
  for (const auto& [name, value] : vars) block += name + L"=" + value + L'\0';
  block += L'\0';
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = ::CreateFileW(Wide(outPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, 0, nullptr);
  HANDLE err = ::CreateFileW(Wide(errPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, block.data(), nullptr,
                       &startup, &process)) {
    if (kill && ::WaitForSingleObject(process.hProcess, static_cast<DWORD>(after.count() / 1000)) ==
                    WAIT_TIMEOUT) {
      ::TerminateProcess(process.hProcess, 137);
    }
    ::WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0;
    if (::GetExitCodeProcess(process.hProcess, &code) && code != STILL_ACTIVE) {
      run.exit = kill && code == 137 ? -1 : static_cast<int>(code);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  } else {
    run.err = "CreateProcessW failed: " + std::to_string(::GetLastError());
  }
  ::CloseHandle(out);
  ::CloseHandle(err);
#else
  std::vector<std::string> vars;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    if (env.count(name) == 0) vars.push_back(entry);
  }
  for (const auto& [name, value] : env) vars.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& v : vars) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> argp;
  for (std::string& a : argv) argp.push_back(a.data());
  argp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argp.data(), envp.data()) == 0) {
    if (kill) {
      // Polled, so that a program that ends first is not waited for.
      const auto until = std::chrono::steady_clock::now() + after;
      int status = 0;
      pid_t ended = 0;
      while ((ended = ::waitpid(pid, &status, WNOHANG)) == 0) {
        if (std::chrono::steady_clock::now() >= until) {
          ::kill(pid, SIGKILL);
          ended = ::waitpid(pid, &status, 0);
          break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
      if (ended == pid && WIFEXITED(status)) run.exit = WEXITSTATUS(status);
      posix_spawn_file_actions_destroy(&actions);
      run.out = ReadText(outPath);
      run.err += ReadText(errPath);
      return run;
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exit = WEXITSTATUS(status);
  }
  posix_spawn_file_actions_destroy(&actions);
#endif
  run.out = ReadText(outPath);
  run.err += ReadText(errPath);
  return run;
}

}  // namespace qor::test
