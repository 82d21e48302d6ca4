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

}  // namespace qor::bench
