#pragma once
// The CRC-32 of bytes (the one of zlib and PNG): what tells a record written whole from one cut
// short or damaged.

#include <cstdint>
#include <string_view>

namespace qor {

std::uint32_t Crc32(std::string_view bytes);

}  // namespace qor
