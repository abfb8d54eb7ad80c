// The few file operations that differ between systems, behind one header: file_posix.cc and
// file_win32.cc. Each returns false or -1 with errno set when it fails.
#ifndef WANDER_TOOLS_SAVE_FILE_SYSTEM_H_
#define WANDER_TOOLS_SAVE_FILE_SYSTEM_H_

#include <filesystem>
#include <string_view>

namespace wander::file_system {

/// What a file is, as far as saving it goes.
struct Facts {
  std::filesystem::perms mode = std::filesystem::perms::none;
  bool may_write = false;   ///< the user may write it, and it is not read-only for everyone
  unsigned long owner = 0;  ///< owner and group, where the system has them
  unsigned long group = 0;
};

/// The facts of the regular file `path`, followed through links. False when it cannot be told.
bool facts_of(const std::filesystem::path& path, Facts& facts);

/// Makes the file `path` for writing, by name, never through a link: fails on any name that
/// exists, a dangling link included. Returns its descriptor, or -1.
int create_new(const std::filesystem::path& path);

/// Opens the existing file `path` for writing in place, nothing in it changed yet. -1 on failure.
int open_in_place(const std::filesystem::path& path);

/// Writes all of `bytes` to `file` and, when `cut` is set, cuts the file off after them.
bool write_all(int file, std::string_view bytes, bool cut);

/// Gives the open `file` the mode, owner and group of `facts`. False when the owner or group
/// cannot be kept (an ordinary user cannot give a file away); the mode is set in any case.
bool keep_facts(int file, const Facts& facts);

/// Flushes `file` to disk and closes it. False, with errno, when either fails; closed anyway.
bool sync_and_close(int file);

/// Closes `file`, its errors not asked for: the bytes were not wanted.
void discard(int file);

/// Flushes the folder `folder` itself, so that a rename in it is on disk. Where the system cannot,
/// it does nothing.
void sync_folder(const std::filesystem::path& folder);

}  // namespace wander::file_system

#endif  // WANDER_TOOLS_SAVE_FILE_SYSTEM_H_
