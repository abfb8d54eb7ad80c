#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "tools/save/file_system.h"

namespace wander::file_system {

namespace fs = std::filesystem;

bool facts_of(const fs::path& path, Facts& facts) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return false;
  if (!S_ISREG(status.st_mode)) {
    errno = EINVAL;
    return false;
  }
  facts.mode = static_cast<fs::perms>(status.st_mode & 07777);
  facts.owner = status.st_uid;
  facts.group = status.st_gid;
  // The super-user may write anything: a file without a single write bit is still one its author
  // marked read-only, and is kept so.
  facts.may_write = ::access(path.c_str(), W_OK) == 0 && (status.st_mode & 0222) != 0;
  return true;
}

int create_new(const fs::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

int open_in_place(const fs::path& path) { return ::open(path.c_str(), O_WRONLY | O_CLOEXEC); }

bool write_all(int file, std::string_view bytes, bool cut) {
  const off_t size = static_cast<off_t>(bytes.size());
  while (!bytes.empty()) {
    const ssize_t n = ::write(file, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
    } else if (n == 0) {
      errno = EIO;
      return false;
    } else if (errno != EINTR) {
      return false;
    }
  }
  return !cut || ::ftruncate(file, size) == 0;
}

bool keep_facts(int file, const Facts& facts) {
  struct stat status {};
  bool kept = true;
  if (::fstat(file, &status) == 0 &&
      (status.st_uid != facts.owner || status.st_gid != facts.group)) {
    kept = ::fchown(file, static_cast<uid_t>(facts.owner), static_cast<gid_t>(facts.group)) == 0;
  }
  // After the owner: giving a file away clears its set-id bits.
  ::fchmod(file, static_cast<mode_t>(facts.mode));
  return kept;
}

bool sync_and_close(int file) {
  int failure = ::fsync(file) == 0 ? 0 : errno;
  if (::close(file) != 0 && failure == 0) failure = errno;
  errno = failure;
  return failure == 0;
}

void discard(int file) { ::close(file); }

void sync_folder(const fs::path& folder) {
  const int handle =
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return;
  ::fsync(handle);
  ::close(handle);
}

}  // namespace wander::file_system
