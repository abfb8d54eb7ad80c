// What the portable byte sources (byte_source.cc) ask of the platform's file system
// (byte_source_posix.cc, byte_source_win32.cc).
#ifndef WANDER_TEXT_BYTE_SOURCE_PLATFORM_H_
#define WANDER_TEXT_BYTE_SOURCE_PLATFORM_H_

#include <cstdint>
#include <cstdio>
#include <string>

namespace wander {

/// What a file that is not a regular file is refused with.
inline constexpr char kNotRegular[] = "not a regular file";

/// True when `file` is a regular file, whose bytes can be read again after a seek back.
bool is_regular_file(std::FILE* file);

/// Opens `path` for reading as a stdio stream, bytes as they are, when it is a regular file,
/// without ever waiting to open it (for a FIFO's writer, say). Otherwise null, with `why` set.
std::FILE* open_regular_file(const std::string& path, std::string& why);

/// Moves `file` to the byte at `offset` from its first, past 2 GiB too. False, with errno set,
/// when it cannot.
bool seek_file(std::FILE* file, std::uint64_t offset);

}  // namespace wander

#endif  // WANDER_TEXT_BYTE_SOURCE_PLATFORM_H_
