// "Did you mean 'Kitchen'?": the name among many that a misspelt one was probably meant to be.
#ifndef WANDER_TOOLS_NAMES_NAME_SUGGESTER_H_
#define WANDER_TOOLS_NAMES_NAME_SUGGESTER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wander {

/// Finds, among a fixed list of names, the one a name was probably meant to be: the same name in
/// other capitals or with characters that cannot be seen (a zero-width joiner, a soft hyphen, a
/// direction mark), else one that is a character or two off, counting a swap of two neighbours as
/// one (one only for names of four characters or fewer; names longer than 64 characters are only
/// matched whole, and names longer than 1,024 bytes not at all). Names are compared a character at
/// a time, in any script, each folded by Unicode's simple case folding (case_folded() of
/// text/characters.h), and bytes that are no UTF-8 are characters of their own.
///
/// Its work is bounded: every call counts its steps (a name looked at, a character compared)
/// against one budget, and once that is spent the calls suggest nothing more. A world with a
/// great many misspelt names so costs time in proportion to the budget, which the caller sets in
/// proportion to the file, and the names past it get no suggestion.
class NameSuggester {
 public:
  /// Suggests among `names` (whose bytes must outlive it), the first of several as near.
  /// Nothing is worked out before the first call of nearest().
  NameSuggester(std::vector<std::string_view> names, std::uint64_t budget);

  /// The name among the list that `name` was probably meant to be; never `name` itself. Empty
  /// when none is near enough, or when the budget ran out before one was found. `alone`, when
  /// given, tells whether it is the one name that near: no other was, and the search ran to its
  /// end.
  std::string_view nearest(std::string_view name, bool* alone = nullptr);

  /// The steps taken so far, by every call and the index they share.
  std::uint64_t steps() const { return steps_; }

 private:
  struct Entry {
    std::uint64_t hash = 0;  // of the name's key
    std::uint64_t bag = 0;   // a bit for each character of the key, modulo 64
    std::uint32_t length = 0;
    std::uint64_t at = 0;  // where the key starts in keys_
  };
  /// The key of names_[i], kept by index().
  std::u32string_view key(std::uint32_t i) const {
    return std::u32string_view(keys_).substr(entries_[i].at, entries_[i].length);
  }
  /// The distance between key_ and `other`, or `limit` + 1 when it is more than `limit` or the
  /// budget ran out.
  std::size_t banded_distance(std::u32string_view other, std::size_t limit);
  /// Builds entries_, keys_, by_length_ and slots_ on the first call.
  void index();
  /// Whether the next step is within the budget; counts it.
  bool step(std::uint64_t cost = 1);

  std::vector<std::string_view> names_;
  std::uint64_t budget_;
  std::uint64_t steps_ = 0;
  bool indexed_ = false;
  std::vector<Entry> entries_;            // by place in names_
  std::u32string keys_;                   // the keys of the names, one after another
  std::vector<std::uint32_t> by_length_;  // places in names_, by key length, then place
  std::vector<std::uint32_t> slots_;      // open addressing on the key's hash: place + 1, or 0
  std::u32string key_;                    // scratch space for the key of one call
  std::vector<std::uint32_t> rows_;
};

}  // namespace wander

#endif  // WANDER_TOOLS_NAMES_NAME_SUGGESTER_H_
