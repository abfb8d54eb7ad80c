#include "text/code_page.h"

#include <array>

namespace wander {
namespace {

constexpr CodePage kWestern{"WINDOWS-1252", "Windows-1252 or Latin-1 (Western)"};
constexpr CodePage kGreek{"WINDOWS-1253", "Windows-1253 (Greek)"};
constexpr CodePage kCyrillic{"WINDOWS-1251", "Windows-1251 (Cyrillic)"};
constexpr CodePage kCentral{"WINDOWS-1250", "Windows-1250 (Central European)"};

// Bytes that are frequent letters in one code page of a pair and rare ones (or none) in the
// other. Greek and Cyrillic share most of 0xC0 to 0xFF, but not their commonest letters: 1253's
// α η ι τ υ and accented vowels, 1251's а в д и о я ы. Of the Latin pages, 1250 alone has
// Ł ł Ą ą ľ ť ź ś Č ě ř, 1252 alone à è ê ñ ò å æ ã õ ÿ; š and ž, in both, are only written in
// Central European languages.
constexpr std::array<unsigned char, 11> kGreekLetters{0xe1, 0xe7, 0xe9, 0xf4, 0xf5, 0xdc,
                                                      0xdd, 0xde, 0xdf, 0xfd, 0xfe};
constexpr std::array<unsigned char, 7> kCyrillicLetters{0xe0, 0xe2, 0xe4, 0xe8, 0xee, 0xff, 0xfb};
constexpr std::array<unsigned char, 16> kCentralLetters{
    0x8a, 0x8c, 0x8d, 0x8e, 0x8f, 0x9a, 0x9c, 0x9d, 0x9e, 0x9f, 0xa3, 0xa5, 0xb3, 0xb9, 0xbe, 0xc8};
constexpr std::array<unsigned char, 11> kWesternLetters{0xe0, 0xe8, 0xea, 0xf1, 0xf2, 0xe5,
                                                        0xe6, 0xe3, 0xf5, 0xff, 0xc0};

template <std::size_t N>
bool among(const std::array<unsigned char, N>& bytes, unsigned char byte) {
  for (const unsigned char b : bytes) {
    if (b == byte) return true;
  }
  return false;
}

}  // namespace

CodePage likely_code_page(std::string_view bytes) {
  std::size_t ascii_letters = 0;
  std::size_t high = 0;
  std::size_t greek = 0;
  std::size_t cyrillic = 0;
  std::size_t central = 0;
  std::size_t western = 0;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte | 0x20) >= 'a' && (byte | 0x20) <= 'z') ++ascii_letters;
    if (byte < 0x80) continue;
    ++high;
    greek += among(kGreekLetters, byte);
    cyrillic += among(kCyrillicLetters, byte);
    central += among(kCentralLetters, byte);
    western += among(kWesternLetters, byte);
  }
  // A text in a Latin script is mostly ASCII letters; one in Greek or Cyrillic mostly not.
  if (2 * high > ascii_letters) {
    if (greek > cyrillic) return kGreek;
    if (cyrillic > greek) return kCyrillic;
  }
  return central > western ? kCentral : kWestern;
}

}  // namespace wander
