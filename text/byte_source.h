// Where bytes come from: a file, opened as a world file is, a stream, or bytes in memory. The
// platform's half of opening and seeking a file is in byte_source_posix.cc and
// byte_source_win32.cc.
#ifndef WANDER_TEXT_BYTE_SOURCE_H_
#define WANDER_TEXT_BYTE_SOURCE_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace wander {

/// Where a TextReader's bytes come from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  /// Copies up to `size` bytes into `dst` and returns how many; 0 means the end, or an error
  /// when error() then says so. May return fewer bytes than asked, a line at a time say.
  virtual std::size_t read(char* dst, std::size_t size) = 0;
  /// Goes to the byte at `offset` from the first; false when the source cannot.
  virtual bool seek(std::uint64_t offset) = 0;
  /// The system's error number (an errno value) of the read that failed, or 0 while none has:
  /// it tells a read error from the end of the bytes. A failed read is not retried: every read
  /// after it returns 0, until a seek that succeeds.
  virtual int error() const { return 0; }
  /// True when the bytes can be read again after a seek back, as they were: a file's or memory's,
  /// not a keyboard's.
  virtual bool rereadable() const { return false; }
};

/// Opens the file at `path` for reading, bytes as they are. Only a regular file is opened: a
/// folder, a FIFO, a device or a socket is refused, and is never opened in a way that could wait
/// (for a FIFO's writer, say). Returns null when the file is refused or cannot be opened; then
/// `why`, when given, holds the reason, such as "No such file or directory" or "not a regular
/// file".
std::unique_ptr<ByteSource> open_file_source(const std::string& path, std::string* why = nullptr);

/// A source over `file`, which it takes and closes; offsets count from the file's first byte.
std::unique_ptr<ByteSource> make_file_source(std::FILE* file);

/// A source over `stream` (which it takes and closes) that can be reread: the stream itself when
/// it is a regular file; else (a pipe, a terminal) a temporary file, removed when closed, into
/// which all of the stream's bytes are read once, and `copied` is set. Null, with errno set, when
/// that fails, reading the stream included.
std::unique_ptr<ByteSource> open_rereadable_stream(std::FILE* stream, bool& copied);

/// Appends every byte of `source` to `bytes`, to its end. Returns the source's error number
/// (ByteSource::error): 0 when the bytes truly ended, else the bytes are not all there.
int read_to_end(ByteSource& source, std::string& bytes);

/// Appends all the bytes of the regular file at `path` to `bytes`. False, with `why` saying why
/// (as open_file_source does, or the read error's), when it cannot be opened or read to its end.
bool read_whole_file(const std::string& path, std::string& bytes, std::string& why);

/// A source over `bytes` themselves, which must outlive it: a text held in memory is read without
/// a copy.
std::unique_ptr<ByteSource> make_view_source(std::string_view bytes);

/// A source over a copy of `bytes` that hands out at most `most_per_read` bytes per read.
std::unique_ptr<ByteSource> make_string_source(std::string bytes,
                                               std::size_t most_per_read = SIZE_MAX);

}  // namespace wander

#endif  // WANDER_TEXT_BYTE_SOURCE_H_
