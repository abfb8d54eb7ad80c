#include "tools/names/name_suggester.h"

#include <algorithm>
#include <bit>

#include "text/characters.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

// Names longer than this are only matched whole: two long names a few characters apart are more
// likely two names than one misspelt.
constexpr std::size_t kLongestCompared = 64;

// Names of more bytes than this are not compared at all: they are no slip of the pen, and their
// keys, four bytes a character, would cost more memory than the names.
constexpr std::size_t kLongestKept = 1024;

// A byte that is no UTF-8 stands for itself, as a value no character has.
constexpr char32_t kLoneByte = 0x110000;

// The characters a name is compared by: small letters, without the characters that cannot be
// seen. Returns the bytes looked at.
std::size_t key_of(std::string_view name, std::u32string& key) {
  key.clear();
  for (std::size_t at = 0; at < name.size();) {
    const std::size_t length = utf8_length(name.substr(at));
    if (length == 0) {
      key += kLoneByte + static_cast<unsigned char>(name[at]);
      ++at;
      continue;
    }
    const char32_t point = code_point(name.substr(at), length);
    if (!is_invisible(point)) key += case_folded(point);
    at += length;
  }
  return name.size();
}

std::uint64_t hash_of(std::u32string_view key) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char32_t c : key) hash = (hash ^ c) * 0x100000001b3ULL;
  hash ^= hash >> 32;
  hash *= 0x9e3779b97f4a7c15ULL;
  return hash ^ (hash >> 29);
}

std::uint64_t bag_of(std::u32string_view key) {
  std::uint64_t bag = 0;
  for (const char32_t c : key) bag |= std::uint64_t{1} << (c % 64);
  return bag;
}

}  // namespace

NameSuggester::NameSuggester(std::vector<std::string_view> names, std::uint64_t budget)
    : names_(std::move(names)), budget_(budget) {}

bool NameSuggester::step(std::uint64_t cost) {
  if (steps_ >= budget_) return false;
  steps_ += cost;
  return true;
}

void NameSuggester::index() {
  indexed_ = true;
  entries_.resize(names_.size());
  for (std::size_t i = 0; i < names_.size(); ++i) {
    ++steps_;
    // A name too long to compare has no key: it is found under none.
    if (names_[i].size() > kLongestKept) {
      entries_[i] = {0, ~std::uint64_t{0}, UINT32_MAX};
      continue;
    }
    steps_ += key_of(names_[i], key_);
    entries_[i] = {hash_of(key_), bag_of(key_), static_cast<std::uint32_t>(key_.size()),
                   keys_.size()};
    // Kept, not worked out again for every name a call compares with: a world with thousands of
    // misspelt names compares each with thousands of names.
    keys_ += key_;
  }
  by_length_.resize(names_.size());
  for (std::uint32_t i = 0; i < by_length_.size(); ++i) by_length_[i] = i;
  std::stable_sort(by_length_.begin(), by_length_.end(), [this](std::uint32_t a, std::uint32_t b) {
    return entries_[a].length < entries_[b].length;
  });
  slots_.assign(std::bit_ceil(2 * names_.size() + 2), 0);
  const std::size_t mask = slots_.size() - 1;
  for (std::uint32_t i = 0; i < names_.size(); ++i) {
    if (entries_[i].length == UINT32_MAX) continue;
    std::size_t slot = entries_[i].hash & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    slots_[slot] = i + 1;
  }
}

// Damerau-Levenshtein distance (a swap of two neighbours counts one), in a band around the
// diagonal: no cell farther from it than the limit can be within the limit.
std::size_t NameSuggester::banded_distance(std::u32string_view other, std::size_t limit) {
  const std::size_t n = key_.size();
  const std::size_t m = other.size();
  const auto far = static_cast<std::uint32_t>(limit + 1);
  rows_.assign(3 * (m + 1), far);
  std::uint32_t* before = rows_.data();
  std::uint32_t* last = before + m + 1;
  std::uint32_t* row = last + m + 1;
  for (std::size_t j = 0; j <= std::min(m, limit); ++j) last[j] = static_cast<std::uint32_t>(j);
  for (std::size_t i = 1; i <= n; ++i) {
    const std::size_t lo = i > limit ? i - limit : 1;
    const std::size_t hi = std::min(m, i + limit);
    if (!step(hi >= lo ? hi - lo + 1 : 1)) return far;
    row[0] = i <= limit ? static_cast<std::uint32_t>(i) : far;
    if (lo > 1) row[lo - 1] = far;
    if (hi < m) row[hi + 1] = far;
    std::uint32_t least = row[0];
    for (std::size_t j = lo; j <= hi; ++j) {
      std::uint32_t cell =
          std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (key_[i - 1] != other[j - 1])});
      if (i > 1 && j > 1 && key_[i - 1] == other[j - 2] && key_[i - 2] == other[j - 1]) {
        cell = std::min(cell, before[j - 2] + 1);
      }
      row[j] = std::min(cell, far);
      least = std::min(least, row[j]);
    }
    if (least > limit) return far;
    std::swap(before, last);
    std::swap(last, row);
  }
  return m + limit >= n && m <= n + limit ? last[m] : far;
}

std::string_view NameSuggester::nearest(std::string_view name, bool* alone) {
  if (alone != nullptr) *alone = false;
  if (!indexed_) index();
  if (name.size() > kLongestKept || !step(key_of(name, key_) + 1) || key_.empty()) return {};
  const std::uint64_t hash = hash_of(key_);
  // The same name in other capitals, or with characters that cannot be seen: the first such.
  const std::size_t mask = slots_.size() - 1;
  std::uint32_t same = UINT32_MAX;
  int sames = 0;
  for (std::size_t slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
    if (!step()) return {};
    const std::uint32_t i = slots_[slot] - 1;
    if (entries_[i].hash != hash || names_[i] == name) continue;
    // Charged as making its key was, so that the budget runs out where it did.
    if (!step(names_[i].size())) return {};
    if (key(i) != key_) continue;
    ++sames;
    same = std::min(same, i);
  }
  if (same != UINT32_MAX) {
    if (alone != nullptr) *alone = sames == 1;
    return names_[same];
  }
  if (key_.size() > kLongestCompared) return {};

  const std::size_t limit = key_.size() <= 4 ? 1 : 2;
  const std::uint64_t bag = bag_of(key_);
  const auto shorter = [this](std::uint32_t i, std::size_t length) {
    return entries_[i].length < length;
  };
  auto it = std::lower_bound(by_length_.begin(), by_length_.end(),
                             key_.size() - std::min(key_.size(), limit), shorter);
  std::size_t best = limit + 1;
  std::uint32_t found = UINT32_MAX;
  int as_near = 0;  // names found as near as the best
  bool cut_short = false;
  for (; it != by_length_.end() && entries_[*it].length <= key_.size() + limit; ++it) {
    if (!step()) {
      cut_short = true;
      break;
    }
    // Each character changed, added or taken away changes at most two bits of the bag.
    if (static_cast<std::size_t>(std::popcount(entries_[*it].bag ^ bag)) > 2 * limit) continue;
    if (!step(names_[*it].size())) {
      cut_short = true;
      break;
    }
    const std::size_t distance = banded_distance(key(*it), limit);
    if (steps_ > budget_) {
      cut_short = true;
      break;
    }
    if (distance > limit || names_[*it] == name) continue;
    if (distance < best) {
      best = distance;
      found = *it;
      as_near = 1;
    } else if (distance == best) {
      found = std::min(found, *it);
      ++as_near;
    }
  }
  // A search the budget cut short cannot tell whether another name was as near.
  if (alone != nullptr) *alone = as_near == 1 && !cut_short;
  return found == UINT32_MAX ? std::string_view() : names_[found];
}

}  // namespace wander
