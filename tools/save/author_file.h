// Writing files the way a careful editor saves them: the author's own files (a world mended by
// `check --fix`, a case re-recorded by `replay --update`) and the files a tool makes (a published
// page). Nothing here ever loses the bytes it was asked to keep.
#ifndef WANDER_TOOLS_SAVE_AUTHOR_FILE_H_
#define WANDER_TOOLS_SAVE_AUTHOR_FILE_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace wander {

/// Puts `bytes` at `to` by writing a new file beside it, made for it alone, flushed to disk, and
/// renaming that over `to`: whatever stood at `to`, a link included, is replaced, never written
/// through. The file gets `mode` when given, else 0644 less the umask. False, with `error` saying
/// why ("cannot write 'TO': why", the name escaped as printable() does), when it fails; no new
/// file is left behind then.
bool replace_file(const std::filesystem::path& to, std::string_view bytes, std::string& error,
                  std::optional<std::filesystem::perms> mode = std::nullopt);

/// How save_file went.
enum class SaveOutcome {
  kSaved,    ///< the file holds the new bytes (and the backup, when asked for, the old ones)
  kChanged,  ///< the file no longer held the bytes read: nothing was written
  kFailed,   ///< `error` says why; nothing was changed unless `error` says otherwise
};

/// What save_file was asked to do and what it did.
struct Save {
  bool keep_backup = false;           ///< keep the bytes read in a backup file first
  std::filesystem::path backup = {};  ///< set to the backup made: NAME.orig, or NAME.orig.N
};

/// Replaces the contents of the author's file `path`, read earlier as `read`, with `wanted`:
///  - Just before anything is written, the file is read again; when it no longer holds `read`
///    (an editor saved it meanwhile), nothing is written and kChanged is returned.
///  - A file the user may not write, or that is marked read-only for everyone, is never replaced
///    (kFailed); a file that is not regular is refused too.
///  - A symbolic link stays a link: the file it leads to is saved, and the backup is made beside
///    the name given.
///  - The backup, when asked for, never overwrites anything: NAME.orig when that name is free,
///    else the first free NAME.orig.1, NAME.orig.2, ...; it holds `read`, with the file's mode,
///    and is flushed to disk before the file is touched.
///  - The new bytes go to a new file in the same folder, with the file's mode, owner and group,
///    flushed to disk and renamed into place. A file with more than one hard link, or whose owner
///    or group a new file could not keep, is written in place instead (once the backup is on
///    disk), so that every name sees the new bytes.
/// On kFailed, `error` says what failed ("cannot write 'NAME': why"); a failure during a write in
/// place, the one way the file itself can be left damaged, says so and names the backup.
SaveOutcome save_file(const std::filesystem::path& path, std::string_view read,
                      std::string_view wanted, Save& save, std::string& error);

}  // namespace wander

#endif  // WANDER_TOOLS_SAVE_AUTHOR_FILE_H_
