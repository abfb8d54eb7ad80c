#include "text/byte_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "text/byte_source_platform.h"
#include "text/text_reader.h"

namespace wander {
namespace {

class FileSource final : public ByteSource {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}
  ~FileSource() override { std::fclose(file_); }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  std::size_t read(char* dst, std::size_t size) override {
    if (error_ != 0) return 0;
    const std::size_t got = std::fread(dst, 1, size, file_);
    if (std::ferror(file_)) error_ = errno != 0 ? errno : EIO;
    return got;
  }
  bool seek(std::uint64_t offset) override {
    std::clearerr(file_);
    error_ = 0;
    const bool moved = seek_file(file_, offset);
    // A source that cannot go where it is asked cannot be read from there either.
    if (!moved) error_ = errno != 0 ? errno : EIO;
    return moved;
  }
  int error() const override { return error_; }
  bool rereadable() const override { return regular_; }

 private:
  std::FILE* file_;
  int error_ = 0;
  bool regular_ = is_regular_file(file_);
};

// Bytes in memory that the caller keeps, handed out at most `most_per_read` at a time.
class ViewSource final : public ByteSource {
 public:
  explicit ViewSource(std::string_view bytes, std::size_t most_per_read = SIZE_MAX)
      : bytes_(bytes), most_(std::max<std::size_t>(most_per_read, 1)) {}

  std::size_t read(char* dst, std::size_t size) override {
    const std::size_t n = std::min({size, most_, bytes_.size() - pos_});
    std::memcpy(dst, bytes_.data() + pos_, n);
    pos_ += n;
    return n;
  }
  bool seek(std::uint64_t offset) override {
    pos_ = std::min<std::uint64_t>(offset, bytes_.size());
    return true;
  }
  bool rereadable() const override { return true; }

 private:
  std::string_view bytes_;
  std::size_t most_;
  std::size_t pos_ = 0;
};

// The same over bytes of its own.
class StringSource final : public ByteSource {
 public:
  StringSource(std::string bytes, std::size_t most_per_read)
      : bytes_(std::move(bytes)), view_(bytes_, most_per_read) {}
  // A copy's view would point into the bytes of the one copied.
  StringSource(const StringSource&) = delete;
  StringSource& operator=(const StringSource&) = delete;

  std::size_t read(char* dst, std::size_t size) override { return view_.read(dst, size); }
  bool seek(std::uint64_t offset) override { return view_.seek(offset); }
  bool rereadable() const override { return true; }

 private:
  std::string bytes_;  // before view_, which points into it
  ViewSource view_;
};

}  // namespace

std::unique_ptr<ByteSource> open_file_source(const std::string& path, std::string* why) {
  std::string reason;
  std::FILE* const file = open_regular_file(path, reason);
  if (file == nullptr) {
    if (why != nullptr) *why = reason;
    return nullptr;
  }
  // The reader has a buffer of its own; a second one in stdio would only copy twice.
  std::setvbuf(file, nullptr, _IONBF, 0);
  return std::make_unique<FileSource>(file);
}

std::unique_ptr<ByteSource> make_file_source(std::FILE* file) {
  return std::make_unique<FileSource>(file);
}

std::unique_ptr<ByteSource> open_rereadable_stream(std::FILE* stream, bool& copied) {
  auto input = std::make_unique<FileSource>(stream);
  copied = !is_regular_file(stream);
  if (!copied) return input;
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return nullptr;
  auto copy = std::make_unique<FileSource>(file);
  const auto buffer = std::make_unique<char[]>(TextReader::kDefaultCapacity);
  while (const std::size_t got = input->read(buffer.get(), TextReader::kDefaultCapacity)) {
    if (std::fwrite(buffer.get(), 1, got, file) != got) return nullptr;
  }
  // A stream that failed is no stream that ended: its bytes are not all there.
  if (const int error = input->error(); error != 0) {
    copy.reset();
    input.reset();
    errno = error;
    return nullptr;
  }
  if (std::fflush(file) != 0 || !copy->seek(0)) return nullptr;
  return copy;
}

std::unique_ptr<ByteSource> make_view_source(std::string_view bytes) {
  return std::make_unique<ViewSource>(bytes);
}

std::unique_ptr<ByteSource> make_string_source(std::string bytes, std::size_t most_per_read) {
  return std::make_unique<StringSource>(std::move(bytes), most_per_read);
}

int read_to_end(ByteSource& source, std::string& bytes) {
  char block[64 * 1024];
  while (const std::size_t got = source.read(block, sizeof block)) bytes.append(block, got);
  return source.error();
}

bool read_whole_file(const std::string& path, std::string& bytes, std::string& why) {
  std::unique_ptr<ByteSource> file = open_file_source(path, &why);
  if (!file) return false;
  const int error = read_to_end(*file, bytes);
  if (error != 0) why = std::strerror(error);
  return error == 0;
}

}  // namespace wander
