#include "tools/save/author_file.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "text/text_reader.h"
#include "tools/names/printable.h"
#include "tools/save/file_system.h"

namespace wander {
namespace {

namespace fs = std::filesystem;

std::string cannot_write(const fs::path& path, std::string_view why) {
  return "cannot write " + in_quotes(path.string()) + ": " + std::string(why);
}

// Fills the new `file` with `bytes`, flushed to disk, and closes it, whatever fails. False with
// errno set when the bytes are not all on disk.
bool fill_and_close(int file, std::string_view bytes) {
  const bool written = file_system::write_all(file, bytes, false);
  const int write_error = errno;
  const bool synced = file_system::sync_and_close(file);
  if (!written) errno = write_error;
  return written && synced;
}

// A new file for `bytes` beside `to`, named after it and free in its folder, written and flushed
// to disk with the facts given (else 0644 less the umask). Its name, or an empty path with
// `error` set when it fails; nothing is left behind then. `owner_kept` tells whether the owner
// and group could be given.
fs::path write_beside(const fs::path& to, std::string_view bytes, const file_system::Facts* facts,
                      bool& owner_kept, std::string& error) {
  // The name only has to be free in this folder: a taken one is tried again with another.
  auto seed =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  seed ^= reinterpret_cast<std::uintptr_t>(&seed);
  for (int attempt = 0; attempt < 100; ++attempt) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                  static_cast<unsigned long long>(seed >> 16));
    const fs::path temporary = to.parent_path() / ("." + to.filename().string() + suffix);
    const int file = file_system::create_new(temporary);
    if (file < 0 && errno == EEXIST) continue;
    if (file < 0) {
      error = cannot_write(to, std::strerror(errno));
      return {};
    }
    owner_kept = facts == nullptr || file_system::keep_facts(file, *facts);
    if (fill_and_close(file, bytes)) return temporary;
    error = cannot_write(to, std::strerror(errno));
    std::error_code code;
    fs::remove(temporary, code);
    return {};
  }
  error = cannot_write(to, "no free name for a temporary file beside it");
  return {};
}

// Keeps `bytes` in the first free name of NAME.orig, NAME.orig.1, ... beside `path`, flushed to
// disk with the mode of `facts`. The name made, or an empty path with `error` set.
fs::path keep_backup(const fs::path& path, std::string_view bytes, const file_system::Facts& facts,
                     std::string& error) {
  for (int number = 0; number < 1000; ++number) {
    fs::path backup = path;
    backup += ".orig";
    if (number > 0) backup += std::string(1, '.').append(std::to_string(number));
    const int file = file_system::create_new(backup);
    if (file < 0 && errno == EEXIST) continue;
    if (file < 0) {
      error = cannot_write(backup, std::strerror(errno));
      return {};
    }
    file_system::keep_facts(file, facts);
    if (fill_and_close(file, bytes)) return backup;
    error = cannot_write(backup, std::strerror(errno));
    std::error_code code;
    fs::remove(backup, code);
    return {};
  }
  error = cannot_write(path.string() + ".orig", "every name up to .orig.999 is taken");
  return {};
}

// True when the file at `path` holds exactly `bytes`.
bool still_holds(const fs::path& path, std::string_view bytes) {
  std::string now;
  std::string why;
  return read_whole_file(path.string(), now, why) && now == bytes;
}

}  // namespace

bool replace_file(const fs::path& to, std::string_view bytes, std::string& error,
                  std::optional<fs::perms> mode) {
  bool owner_kept = true;
  // Only the mode is asked for: the new file's owner is whoever writes it.
  const fs::path temporary = write_beside(to, bytes, nullptr, owner_kept, error);
  if (temporary.empty()) return false;
  std::error_code code;
  if (mode) fs::permissions(temporary, *mode, code);
  if (!code) fs::rename(temporary, to, code);
  if (!code) {
    file_system::sync_folder(to.parent_path());
    return true;
  }
  error = cannot_write(to, code.message());
  fs::remove(temporary, code);
  return false;
}

SaveOutcome save_file(const fs::path& path, std::string_view read, std::string_view wanted,
                      Save& save, std::string& error) {
  std::error_code code;
  // A link is followed to the file the author keeps: that file is saved, the link stays.
  const fs::path target =
      fs::is_symlink(fs::symlink_status(path, code)) ? fs::canonical(path, code) : path;
  file_system::Facts facts;
  if (code || !file_system::facts_of(target, facts)) {
    error = cannot_write(path, code ? code.message() : std::strerror(errno));
    return SaveOutcome::kFailed;
  }
  if (!facts.may_write) {
    error = cannot_write(path, "it is read-only; nothing was changed");
    return SaveOutcome::kFailed;
  }
  const bool shared = fs::hard_link_count(target, code) > 1 && !code;
  bool owner_kept = true;
  fs::path temporary;
  if (!shared) {
    temporary = write_beside(target, wanted, &facts, owner_kept, error);
    if (temporary.empty()) {
      error += "; nothing was changed";
      return SaveOutcome::kFailed;
    }
  }
  const auto drop_temporary = [&temporary] {
    std::error_code ignored;
    if (!temporary.empty()) fs::remove(temporary, ignored);
  };
  if (!still_holds(target, read)) {
    drop_temporary();
    return SaveOutcome::kChanged;
  }
  if (save.keep_backup) {
    save.backup = keep_backup(path, read, facts, error);
    if (save.backup.empty()) {
      drop_temporary();
      error += "; nothing was changed";
      return SaveOutcome::kFailed;
    }
  }
  if (!temporary.empty() && owner_kept) {
    fs::rename(temporary, target, code);
    if (!code) {
      file_system::sync_folder(target.parent_path());
      return SaveOutcome::kSaved;
    }
    drop_temporary();
    error = cannot_write(path, code.message() + "; nothing was changed");
    return SaveOutcome::kFailed;
  }
  // Every name of the file, and its owner, keep seeing it: the bytes go into the file itself.
  drop_temporary();
  const int file = file_system::open_in_place(target);
  if (file < 0) {
    error = cannot_write(path, std::string(std::strerror(errno)) + "; nothing was changed");
    return SaveOutcome::kFailed;
  }
  const bool written = file_system::write_all(file, wanted, true);
  const int write_error = errno;
  if (file_system::sync_and_close(file) && written) return SaveOutcome::kSaved;
  error = cannot_write(path, std::strerror(written ? errno : write_error));
  error += save.backup.empty() ? "; it may be left part written"
                               : "; it may be left part written: the file as it was is " +
                                     in_quotes(save.backup.string());
  return SaveOutcome::kFailed;
}

}  // namespace wander
