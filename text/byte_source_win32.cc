#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "text/byte_source_platform.h"

namespace wander {

bool is_regular_file(std::FILE* file) {
  struct _stat64 status;
  return _fstat64(_fileno(file), &status) == 0 && (status.st_mode & _S_IFREG) != 0;
}

std::FILE* open_regular_file(const std::string& path, std::string& why) {
  // Windows refuses to open a folder for want of permission; say what it is, as POSIX does.
  struct _stat64 status;
  if (_stat64(path.c_str(), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFDIR) {
    why = std::strerror(EISDIR);
    return nullptr;
  }
  std::FILE* const file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    why = std::strerror(errno);
    return nullptr;
  }
  if (_fstat64(_fileno(file), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG) return file;
  why = kNotRegular;
  std::fclose(file);
  return nullptr;
}

bool seek_file(std::FILE* file, std::uint64_t offset) {
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
}

}  // namespace wander
