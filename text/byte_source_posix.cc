#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text/byte_source_platform.h"

namespace wander {
namespace {

// Why a file of `status` is no world file, or null when it is a regular file.
const char* refusal(const struct stat& status) {
  if (S_ISREG(status.st_mode)) return nullptr;
  return S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : kNotRegular;
}

}  // namespace

bool is_regular_file(std::FILE* file) {
  struct stat status;
  return fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode);
}

std::FILE* open_regular_file(const std::string& path, std::string& why) {
  // A FIFO would keep open() waiting for a writer that may never come. O_NONBLOCK keeps it from
  // waiting; the look before the open refuses it even where that flag is not honoured (Node's
  // file system under WebAssembly). Reads wait for their bytes as usual once the file is known.
  struct stat status;
  if (stat(path.c_str(), &status) == 0 && refusal(status) != nullptr) {
    why = refusal(status);
    return nullptr;
  }
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0 || fstat(fd, &status) != 0) {
    why = std::strerror(errno);
  } else if (refusal(status) != nullptr) {
    why = refusal(status);
  } else if (const int flags = fcntl(fd, F_GETFL);
             flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    why = std::strerror(errno);
  } else if (std::FILE* const file = fdopen(fd, "rb")) {
    return file;
  } else {
    why = std::strerror(errno);
  }
  if (fd >= 0) close(fd);
  return nullptr;
}

bool seek_file(std::FILE* file, std::uint64_t offset) {
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

}  // namespace wander
