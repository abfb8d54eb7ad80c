#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "tools/save/file_system.h"

namespace wander::file_system {

namespace fs = std::filesystem;

bool facts_of(const fs::path& path, Facts& facts) {
  std::error_code code;
  const fs::file_status status = fs::status(path, code);
  if (code || !fs::is_regular_file(status)) {
    errno = code ? ENOENT : EINVAL;
    return false;
  }
  facts.mode = status.permissions();
  // Windows has one write bit: the read-only attribute.
  facts.may_write = (facts.mode & fs::perms::owner_write) != fs::perms::none;
  return true;
}

int create_new(const fs::path& path) {
  return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

int open_in_place(const fs::path& path) { return _wopen(path.c_str(), _O_WRONLY | _O_BINARY); }

bool write_all(int file, std::string_view bytes, bool cut) {
  const long long size = static_cast<long long>(bytes.size());
  while (!bytes.empty()) {
    const int n = _write(file, bytes.data(),
                         static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1 << 30)));
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
    } else {
      if (n == 0) errno = EIO;
      return false;
    }
  }
  return !cut || _chsize_s(file, size) == 0;
}

// Windows files have no owner to keep here, and their one mode bit is set by name once closed.
bool keep_facts(int, const Facts&) { return true; }

bool sync_and_close(int file) {
  int failure = _commit(file) == 0 ? 0 : errno;
  if (_close(file) != 0 && failure == 0) failure = errno;
  errno = failure;
  return failure == 0;
}

void discard(int file) { _close(file); }

void sync_folder(const fs::path&) {}

}  // namespace wander::file_system
