// A set of names, each kept once and known by a number: the markers of a world, however many.
#ifndef WANDER_TOOLS_NAME_TABLE_H_
#define WANDER_TOOLS_NAME_TABLE_H_

#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

namespace wander {

/// Byte strings numbered 0, 1, 2… in the order they were first added. Memory is the bytes of the
/// names and about 30 bytes more for each; nothing is ever moved, so views stay valid.
class NameTable {
 public:
  static constexpr std::uint32_t kNone = UINT32_MAX;

  /// The number of `name`, or kNone when it was never added.
  std::uint32_t find(std::string_view name) const;

  /// The number of `name`, adding it first when it is new.
  std::uint32_t add(std::string_view name);

  /// The name numbered `id` (which must be below size()).
  std::string_view operator[](std::uint32_t id) const;

  std::uint32_t size() const { return static_cast<std::uint32_t>(names_.size()); }

 private:
  /// Where `name` is, or the empty slot where it would go.
  std::size_t slot_of(std::string_view name, std::uint64_t hash) const;
  /// Copies `name` into the arena, after its length; returns where the length is.
  const char* keep(std::string_view name);
  void grow_slots();

  std::deque<const char*> names_;  // each a length (4 bytes, any alignment), then the bytes
  // Open addressing: the low half of a name's hash, then its number + 1; 0 for an empty slot.
  // The hash halves tell most names apart without looking at their bytes.
  std::vector<std::uint64_t> slots_;
  std::vector<std::unique_ptr<char[]>> chunks_;
  std::size_t chunk_left_ = 0;
  char* chunk_next_ = nullptr;
};

}  // namespace wander

#endif  // WANDER_TOOLS_NAME_TABLE_H_
