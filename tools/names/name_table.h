// A set of names, each kept once and known by a number: the markers of a world, however many.
#ifndef WANDER_TOOLS_NAMES_NAME_TABLE_H_
#define WANDER_TOOLS_NAMES_NAME_TABLE_H_

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wander {

/// Byte strings numbered 0, 1, 2… in the order they were first added. Memory is the bytes of the
/// names and about 30 bytes more for each; nothing is ever moved, so views stay valid. A long name
/// is kept once, in a string of its own: one given as a string to keep is not even copied.
class NameTable {
 public:
  static constexpr std::uint32_t kNone = UINT32_MAX;

  /// The number of `name`, or kNone when it was never added.
  std::uint32_t find(std::string_view name) const;

  /// The number of the name that `pieces` make one after another, such as "<", a room and ">",
  /// or kNone: the pieces are never joined, so a long name costs no copy.
  std::uint32_t find(std::span<const std::string_view> pieces) const;

  /// The number of `name`, adding it first when it is new.
  std::uint32_t add(std::string_view name);

  /// As add(std::string_view), but a new long name is kept as it is, not copied; `name` is left
  /// empty or as it was.
  std::uint32_t add(std::string&& name);

  /// The name numbered `id` (which must be below size()).
  std::string_view operator[](std::uint32_t id) const;

  std::uint32_t size() const { return static_cast<std::uint32_t>(names_.size()); }

 private:
  /// Where the name `pieces` make is, or the empty slot where it would go.
  std::size_t slot_of(std::span<const std::string_view> pieces, std::uint64_t hash) const;
  /// Keeps `name` (taken from `owned` when given and long) and returns its record: in the arena,
  /// its length and its bytes, or for a long name kLong and its place in long_names_.
  const char* keep(std::string_view name, std::string* owned);
  /// Adds `name` when it is new; see add().
  std::uint32_t add(std::string_view name, std::string* owned);
  void grow_slots();

  std::deque<const char*> names_;  // each a length (4 bytes, any alignment), then the bytes
  std::deque<std::string> long_names_;
  // Open addressing: the low half of a name's hash, then its number + 1; 0 for an empty slot.
  // The hash halves tell most names apart without looking at their bytes.
  std::vector<std::uint64_t> slots_;
  std::vector<std::unique_ptr<char[]>> chunks_;
  std::size_t chunk_left_ = 0;
  char* chunk_next_ = nullptr;
};

}  // namespace wander

#endif  // WANDER_TOOLS_NAMES_NAME_TABLE_H_
