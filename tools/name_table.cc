#include "tools/name_table.h"

#include <cstring>

namespace wander {
namespace {

constexpr std::size_t kChunk = 256 * 1024;

std::uint64_t hash_of(std::string_view name) {
  // FNV-1a: simple, and good enough for names that differ in a digit or two.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  return hash;
}

}  // namespace

std::size_t NameTable::slot_of(std::string_view name, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    if (slots_[slot] == 0 || names_[slots_[slot] - 1] == name) return slot;
  }
}

std::uint32_t NameTable::find(std::string_view name) const {
  if (slots_.empty()) return kNone;
  const std::uint32_t found = slots_[slot_of(name, hash_of(name))];
  return found == 0 ? kNone : found - 1;
}

std::uint32_t NameTable::add(std::string_view name) {
  // At most half full, so that a probe stays short.
  if (2 * (names_.size() + 1) > slots_.size()) grow_slots();
  const std::size_t slot = slot_of(name, hash_of(name));
  if (slots_[slot] != 0) return slots_[slot] - 1;
  names_.push_back(keep(name));
  slots_[slot] = static_cast<std::uint32_t>(names_.size());
  return slots_[slot] - 1;
}

std::string_view NameTable::keep(std::string_view name) {
  if (name.size() > kChunk / 8) {
    // A long name gets a piece of its own, so that a chunk is never mostly wasted.
    chunks_.push_back(std::make_unique<char[]>(name.size()));
    std::memcpy(chunks_.back().get(), name.data(), name.size());
    return {chunks_.back().get(), name.size()};
  }
  if (chunk_left_ < name.size()) {
    chunks_.push_back(std::make_unique<char[]>(kChunk));
    chunk_next_ = chunks_.back().get();
    chunk_left_ = kChunk;
  }
  if (!name.empty()) std::memcpy(chunk_next_, name.data(), name.size());
  const std::string_view kept(chunk_next_, name.size());
  chunk_next_ += name.size();
  chunk_left_ -= name.size();
  return kept;
}

void NameTable::grow_slots() {
  std::vector<std::uint32_t> old = std::move(slots_);
  slots_.assign(old.empty() ? 64 : 2 * old.size(), 0);
  for (const std::uint32_t entry : old) {
    if (entry != 0) slots_[slot_of(names_[entry - 1], hash_of(names_[entry - 1]))] = entry;
  }
}

}  // namespace wander
