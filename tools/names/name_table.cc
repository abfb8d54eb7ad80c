#include "tools/names/name_table.h"

#include <cstring>

namespace wander {
namespace {

constexpr std::size_t kChunk = 256 * 1024;
constexpr std::size_t kLength = sizeof(std::uint32_t);
// The length that marks a long name's record: the place of its string follows.
constexpr std::uint32_t kLong = UINT32_MAX;
// Names longer than this are long: they get a string of their own, so that a chunk is never
// mostly wasted, and a name as long as the file is kept once.
constexpr std::size_t kLongName = kChunk / 8;

std::uint64_t hash_of(std::span<const std::string_view> pieces) {
  // FNV-1a, then mixed: FNV's low bits, which pick the slot, depend too little on early bytes.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const std::string_view piece : pieces) {
    for (const char c : piece) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  }
  hash ^= hash >> 32;
  hash *= 0x9e3779b97f4a7c15ULL;
  return hash ^ (hash >> 29);
}

// The half of a hash kept in a slot: its low 32 bits, which also pick the slot, so that the
// table can grow without reading a name again.
std::uint64_t tag_of(std::uint64_t hash) { return hash << 32; }

// True when `name` is the pieces one after another.
bool equals_joined(std::string_view name, std::span<const std::string_view> pieces) {
  for (const std::string_view piece : pieces) {
    if (name.substr(0, piece.size()) != piece) return false;
    name.remove_prefix(piece.size());
  }
  return name.empty();
}

}  // namespace

std::string_view NameTable::operator[](std::uint32_t id) const {
  const char* kept = names_[id];
  std::uint32_t length;
  std::memcpy(&length, kept, kLength);
  if (length != kLong) return {kept + kLength, length};
  std::size_t index;
  std::memcpy(&index, kept + kLength, sizeof index);
  return long_names_[index];
}

std::size_t NameTable::slot_of(std::span<const std::string_view> pieces, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  const std::uint64_t tag = tag_of(hash);
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint64_t entry = slots_[slot];
    if (entry == 0) return slot;
    if ((entry & 0xffffffff00000000ULL) == tag &&
        equals_joined((*this)[static_cast<std::uint32_t>(entry) - 1], pieces)) {
      return slot;
    }
  }
}

std::uint32_t NameTable::find(std::string_view name) const {
  return find(std::span<const std::string_view>(&name, 1));
}

std::uint32_t NameTable::find(std::span<const std::string_view> pieces) const {
  if (slots_.empty()) return kNone;
  const std::uint64_t entry = slots_[slot_of(pieces, hash_of(pieces))];
  return entry == 0 ? kNone : static_cast<std::uint32_t>(entry) - 1;
}

std::uint32_t NameTable::add(std::string_view name) { return add(name, nullptr); }

std::uint32_t NameTable::add(std::string&& name) { return add(name, &name); }

std::uint32_t NameTable::add(std::string_view name, std::string* owned) {
  // At most half full, so that a probe stays short.
  if (2 * (names_.size() + 1) > slots_.size()) grow_slots();
  const std::span<const std::string_view> pieces(&name, 1);
  const std::uint64_t hash = hash_of(pieces);
  const std::size_t slot = slot_of(pieces, hash);
  if (slots_[slot] != 0) return static_cast<std::uint32_t>(slots_[slot]) - 1;
  names_.push_back(keep(name, owned));
  slots_[slot] = tag_of(hash) | names_.size();
  return static_cast<std::uint32_t>(names_.size() - 1);
}

const char* NameTable::keep(std::string_view name, std::string* owned) {
  const bool long_name = name.size() > kLongName;
  const std::size_t size = kLength + (long_name ? sizeof(std::size_t) : name.size());
  if (chunk_left_ < size) {
    chunks_.push_back(std::make_unique<char[]>(kChunk));
    chunk_next_ = chunks_.back().get();
    chunk_left_ = kChunk;
  }
  char* kept = chunk_next_;
  chunk_next_ += size;
  chunk_left_ -= size;
  if (long_name) {
    const std::size_t index = long_names_.size();
    long_names_.push_back(owned != nullptr ? std::move(*owned) : std::string(name));
    std::memcpy(kept, &kLong, kLength);
    std::memcpy(kept + kLength, &index, sizeof index);
    return kept;
  }
  const auto length = static_cast<std::uint32_t>(name.size());
  std::memcpy(kept, &length, kLength);
  if (!name.empty()) std::memcpy(kept + kLength, name.data(), name.size());
  return kept;
}

void NameTable::grow_slots() {
  std::vector<std::uint64_t> old = std::move(slots_);
  slots_.assign(old.empty() ? 64 : 2 * old.size(), 0);
  const std::size_t mask = slots_.size() - 1;
  for (const std::uint64_t entry : old) {
    if (entry == 0) continue;
    // Names are all different: each goes to the first empty slot from where its hash points.
    std::size_t slot = (entry >> 32) & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    slots_[slot] = entry;
  }
}

}  // namespace wander
