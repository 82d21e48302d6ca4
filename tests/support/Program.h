#pragma once
// Runs a program of the project as a process of its own, as a user would from a shell: its
// arguments passed whole (blanks, quotes and accents included), some environment variables
// set for it alone, its output and errors kept.

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace qor::test {

struct ProgramRun {
  int exit = -1;  // -1 when it could not be started or did not end by itself
  std::string out;
  std::string err;
};

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::map<std::string, std::string>& env = {});

// The same, the program killed (as kill -9 or the task manager would end it) once it has run for
// `after`, unless it ended before; exit is -1 when it was killed.
ProgramRun RunProgramKilled(const std::string& program, const std::vector<std::string>& args,
                            const std::map<std::string, std::string>& env,
                            std::chrono::microseconds after);

}  // namespace qor::test
