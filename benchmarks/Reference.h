#pragma once
// What the machine itself needs for the bytes the program reads: plain system calls into a
// buffer, with nothing done to the bytes. The benchmarks report the program's cost against these.

#include <cstdint>
#include <string>
#include <vector>

namespace qor::bench {

// Reads the whole file with read calls of 64 KiB into one buffer; returns the bytes read.
std::uint64_t PlainReadWhole(const std::string& path, std::vector<unsigned char>& buffer);
// Opens the file, reads its first two bytes and closes it; returns how many it read.
int PlainReadTwoBytes(const std::string& path);

// Runs a command as a whole process, its output thrown away, and waits for it; true when it
// ends with status 0, or with the status expected.
bool RunProcess(const std::vector<std::string>& argv, int expectedStatus = 0);

// The resident memory of this process, in bytes.
std::uint64_t ResidentBytes();

}  // namespace qor::bench
