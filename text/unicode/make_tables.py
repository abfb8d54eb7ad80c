#!/usr/bin/env python3
"""Writes the one width table, the columns a terminal gives each character, twice: as C++
(text/display_width.cc, display_width() of text/utf8.h) and as the lines of web/page.js between
its "generated widths" markers, so that the console game and the web page break lines alike; and
the names and look-alikes of the characters that names in messages may confuse
(text/character_names.cc, text/characters.h); and the simple case folding that suggestions
compare names by (text/case_folding.cc, case_folded() of text/characters.h).

    text/unicode/make_tables.py [UNICODE_FOLDER]

UNICODE_FOLDER holds the Unicode Character Database (Debian's unicode-data package puts it in
/usr/share/unicode, the default). Both outputs are committed: a build needs no Python.

Widths: two columns for East Asian wide and full-width characters (the unassigned code points of
the ideograph blocks and planes 2 and 3 included, as EastAsianWidth.txt says) and for emoji shown
as emoji by default (the regional indicators excepted: a pair of them makes one flag); none for
combining marks (Mn, Me), format characters (Cf), control characters (Cc) and the Hangul vowels
and final consonants that join the syllable before; one for everything else.

Names and look-alikes: only for the characters a name may hold that look like others, so that
the table stays small: the letters and digits of the Latin, Greek and Cyrillic scripts (in their
first blocks and the extended Latin and Greek ones), the combining marks, the full-width forms,
and the characters that look blank or like nothing. A character looks like its canonical
decomposition (a letter and its accents), a full-width form like its ASCII character, and a
Greek or Cyrillic letter like the Latin (or Greek) letter of LOOKALIKE_LETTERS that it is drawn
as: Unicode's data holds no list of confusable characters, so that one is kept here.

Case folding: CaseFolding.txt's common and simple mappings (status C and S), one character to
one, so that a capital and its small letter are the same to a suggestion in every script.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WIDE_BY_DEFAULT = [(0x3400, 0x4DBF), (0x4E00, 0x9FFF), (0xF900, 0xFAFF),
                   (0x20000, 0x2FFFD), (0x30000, 0x3FFFD)]
JOINING_JAMO = [(0x1160, 0x11FF), (0xD7B0, 0xD7FF)]
REGIONAL_INDICATORS = (0x1F1E6, 0x1F1FF)
NAMED_BLOCKS = [(0x0000, 0x052F), (0x1E00, 0x1FFF), (0xFF00, 0xFFEF)]
NAMED_SCRIPTS = ('Latin', 'Greek', 'Cyrillic', 'Common', 'Inherited')
NAMED_CATEGORIES = ('Lu', 'Ll', 'Lt', 'Lm', 'Lo', 'Nd', 'Mn')
# Characters that look blank or like nothing, wherever they stand.
NAMED_INVISIBLE = [(0x00A0, 0x00A0), (0x00AD, 0x00AD), (0x034F, 0x034F), (0x2000, 0x200F),
                   (0x2028, 0x202F), (0x205F, 0x206F), (0x3000, 0x3000), (0x3164, 0x3164),
                   (0xFEFF, 0xFEFF)]
# Each string: a letter, then the letters of other scripts drawn as it.
LOOKALIKE_LETTERS = ['AΑА', 'BΒВ', 'CϹС', 'EΕЕ', 'HΗН', 'IΙІӀ', 'JЈ', 'KΚК', 'MΜМ', 'NΝ',
                     'OΟО', 'PΡР', 'SЅ', 'TΤТ', 'XΧХ', 'YΥҮ', 'ZΖ', 'aа', 'cϲс', 'eе', 'hһ',
                     'iі', 'jϳј', 'oοо', 'pρр', 'sѕ', 'vν', 'xх', 'yу', 'ΓГ', 'ΠП', 'ΦФ']


def property_ranges(path):
    """(first, last, value) for each data line of a UCD property file."""
    for line in open(path, encoding='utf-8'):
        fields = line.split('#')[0].split(';')
        if len(fields) < 2:
            continue
        points = fields[0].strip().split('..')
        yield int(points[0], 16), int(points[-1], 16), fields[1].strip()


def unicode_version(folder):
    with open(os.path.join(folder, 'EastAsianWidth.txt'), encoding='utf-8') as f:
        return re.search(r'EastAsianWidth-([0-9.]+)\.txt', f.readline()).group(1)


def widths(folder):
    """A dict of code point -> width for every point whose width is not 1."""
    width = {}
    for first, last in WIDE_BY_DEFAULT:
        width.update(dict.fromkeys(range(first, last + 1), 2))
    for first, last, value in property_ranges(os.path.join(folder, 'EastAsianWidth.txt')):
        for point in range(first, last + 1):
            if value in ('W', 'F'):
                width[point] = 2
            else:
                width.pop(point, None)
    emoji = os.path.join(folder, 'emoji', 'emoji-data.txt')
    if os.path.exists(emoji):
        for first, last, value in property_ranges(emoji):
            if value == 'Emoji_Presentation':
                for point in range(max(first, 0x80), last + 1):
                    if not REGIONAL_INDICATORS[0] <= point <= REGIONAL_INDICATORS[1]:
                        width[point] = 2
    # UnicodeData.txt names a range by its first and last lines; marks and controls never come so.
    for line in open(os.path.join(folder, 'UnicodeData.txt'), encoding='utf-8'):
        fields = line.split(';')
        if fields[2] in ('Mn', 'Me', 'Cf', 'Cc'):
            width[int(fields[0], 16)] = 0
    for first, last in JOINING_JAMO:
        width.update(dict.fromkeys(range(first, last + 1), 0))
    return width


def ranges(width, value):
    """The runs of consecutive points of `value` width, as (first, last)."""
    runs = []
    for point in sorted(p for p, w in width.items() if w == value):
        if runs and runs[-1][1] == point - 1:
            runs[-1][1] = point
        else:
            runs.append([point, point])
    return runs


def cxx_table(name, runs):
    cells = [f'{{0x{first:x}, 0x{last:x}}}' for first, last in runs]
    rows = [', '.join(cells[i:i + 4]) + ',' for i in range(0, len(cells), 4)]
    return (f'// clang-format off\nconstexpr Range {name}[] = {{\n' +
            ''.join(f'    {row}\n' for row in rows) + '};\n// clang-format on\n')


def write_cxx(path, version, zero, wide):
    text = f'''// Generated by text/unicode/make_tables.py from the Unicode Character Database {version}:
// edit the script, not this file, and run it again.
#include <algorithm>
#include <iterator>

#include "text/utf8.h"

namespace wander {{
namespace {{

struct Range {{
  char32_t first;
  char32_t last;
}};

// Combining marks, format and control characters, joining Hangul jamo: no column of their own.
{cxx_table('kZeroWidth', zero)}
// East Asian wide and full-width characters, and emoji shown as emoji: two columns.
{cxx_table('kWide', wide)}
template <std::size_t N>
bool in(const Range (&ranges)[N], char32_t point) {{
  const Range* after = std::upper_bound(std::begin(ranges), std::end(ranges), point,
                                        [](char32_t p, const Range& r) {{ return p < r.first; }});
  return after != std::begin(ranges) && point <= std::prev(after)->last;
}}

}}  // namespace

int display_width(char32_t point) {{
  if (point >= 0x20 && point < 0x7f) return 1;
  if (in(kZeroWidth, point)) return 0;
  return in(kWide, point) ? 2 : 1;
}}

}}  // namespace wander
'''
    with open(path, 'w', encoding='utf-8') as f:
        f.write(text)


def base36(n):
    digits = ''
    while True:
        n, digit = divmod(n, 36)
        digits = '0123456789abcdefghijklmnopqrstuvwxyz'[digit] + digits
        if n == 0:
            return digits


def js_list(runs):
    # Each range as its distance from the last one's end and, unless it is one character, its
    # length, in base 36: the page carries them in few bytes.
    parts, end = [], 0
    for first, last in runs:
        parts.append(base36(first - end) + ('.' + base36(last - first) if last > first else ''))
        end = last
    lines, line = [], ''
    for part in parts:
        if len(line) + len(part) > 90:
            lines.append(line)
            line = ''
        line += part + ' '
    lines.append(line)
    return '(\n' + ' +\n'.join(f"  '{line}'" for line in lines) + ')'


def write_js(path, version, zero, wide):
    with open(path, encoding='utf-8') as f:
        page = f.read()
    begin = '// Begin generated widths'
    end = '// End generated widths'
    block = f'''{begin}: text/unicode/make_tables.py, Unicode {version}, as display_width() in C++.
// Each range: its distance from the end of the one before and its length (none for one
// character), in base 36.
const zeroWidthRanges = {js_list(zero)};
const wideRanges = {js_list(wide)};
{end}'''
    head, rest = page.split(begin, 1)
    tail = rest.split(end, 1)[1]
    with open(path, 'w', encoding='utf-8') as f:
        f.write(head + block + tail)


def named_points(folder):
    """The code points whose names and look-alikes are written, with their names."""
    scripts = {}
    for first, last, value in property_ranges(os.path.join(folder, 'Scripts.txt')):
        if first <= 0xFFFF:
            scripts.update(dict.fromkeys(range(first, min(last, 0xFFFF) + 1), value))
    names, decompositions = {}, {}
    for line in open(os.path.join(folder, 'UnicodeData.txt'), encoding='utf-8'):
        fields = line.split(';')
        point = int(fields[0], 16)
        if fields[5]:
            parts = fields[5].split()
            if not parts[0].startswith('<'):
                decompositions[point] = [int(p, 16) for p in parts]
            elif parts[0] in ('<wide>', '<narrow>'):
                decompositions[point] = [int(p, 16) for p in parts[1:]]
        in_blocks = any(first <= point <= last for first, last in NAMED_BLOCKS)
        if (in_blocks and fields[2] in NAMED_CATEGORIES and scripts.get(point) in NAMED_SCRIPTS
                or any(first <= point <= last for first, last in NAMED_INVISIBLE)
                or 0xFF01 <= point <= 0xFF5E):
            names[point] = fields[1]
    return names, decompositions


def lookalikes(names, decompositions):
    """A dict of code point -> the characters it looks like, for every named point that looks
    like something other than itself."""
    letters = {}
    for row in LOOKALIKE_LETTERS:
        for other in row[1:]:
            letters[ord(other)] = ord(row[0])

    def drawn(point):
        if point in decompositions:
            return [p for part in decompositions[point] for p in drawn(part)]
        return [letters.get(point, point)]

    return {point: drawn(point) for point in names if drawn(point) != [point]}


def write_names(path, version, names, looks):
    words = sorted({word for name in names.values() for word in name.split()})
    index = {word: i for i, word in enumerate(words)}
    word_starts, text = [], ''
    for word in words:
        word_starts.append(len(text))
        text += word
    word_starts.append(len(text))
    entries, spelled, drawn = [], [], []
    for point in sorted(names):
        look = looks.get(point, [])
        entries.append(f'{{0x{point:x}, {len(spelled)}, {len(names[point].split())}, '
                       f'{len(drawn)}, {len(look)}}}')
        spelled += [index[word] for word in names[point].split()]
        drawn += look

    # The table's fields: 16 bits for the offsets, 8 for the counts.
    assert len(spelled) < 1 << 16 and len(drawn) < 1 << 16 and len(text) < 1 << 16
    assert all(len(name.split()) < 256 for name in names.values())

    def rows(cells, per_row):
        return ''.join('    ' + ', '.join(cells[i:i + per_row]) + ',\n'
                       for i in range(0, len(cells), per_row))

    chunks = [text[i:i + 90] for i in range(0, len(text), 90)]
    text_lines = ''.join(f'    "{chunk}"\n' for chunk in chunks)
    source = f'''// Generated by text/unicode/make_tables.py from the Unicode Character Database {version}:
// edit the script, not this file, and run it again.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "text/characters.h"

namespace wander {{
namespace {{

// The words of the names, one after another, and where each starts.
constexpr std::string_view kWords =
{text_lines};
// clang-format off
constexpr std::uint16_t kWordStarts[] = {{
{rows([str(n) for n in word_starts], 12)}}};

// Each name, as the numbers of its words.
constexpr std::uint16_t kSpelled[] = {{
{rows([str(n) for n in spelled], 16)}}};

// The characters each character is drawn as, for those drawn as others.
constexpr char32_t kDrawn[] = {{
{rows([f'0x{p:x}' for p in drawn], 8)}}};

struct Entry {{
  char32_t point;
  std::uint16_t spelled_at;
  std::uint8_t words;
  std::uint16_t drawn_at;
  std::uint8_t drawn;
}};

constexpr Entry kEntries[] = {{
{rows(entries, 4)}}};
// clang-format on

const Entry* entry(char32_t point) {{
  const Entry* at = std::lower_bound(std::begin(kEntries), std::end(kEntries), point,
                                     [](const Entry& e, char32_t p) {{ return e.point < p; }});
  return at != std::end(kEntries) && at->point == point ? at : nullptr;
}}

}}  // namespace

std::string character_name(char32_t point) {{
  std::string name;
  if (const Entry* e = entry(point)) {{
    for (int i = 0; i < e->words; ++i) {{
      const std::uint16_t word = kSpelled[e->spelled_at + i];
      if (i > 0) name += ' ';
      name += kWords.substr(kWordStarts[word], kWordStarts[word + 1] - kWordStarts[word]);
    }}
  }}
  return name;
}}

void append_drawn_as(char32_t point, std::u32string& out) {{
  const Entry* e = entry(point);
  if (e == nullptr || e->drawn == 0) {{
    out += point;
    return;
  }}
  out.append(kDrawn + e->drawn_at, e->drawn);
}}

}}  // namespace wander
'''
    with open(path, 'w', encoding='utf-8') as f:
        f.write(source)


def case_folding(folder):
    """A dict of code point -> the code point it folds to (status C and S)."""
    folds = {}
    for line in open(os.path.join(folder, 'CaseFolding.txt'), encoding='utf-8'):
        fields = [field.strip() for field in line.split('#')[0].split(';')]
        if len(fields) >= 3 and fields[1] in ('C', 'S'):
            folds[int(fields[0], 16)] = int(fields[2], 16)
    return folds


def fold_runs(folds):
    """The folds as runs (first, last, stride, delta): every stride-th point from first to last
    folds to itself plus delta; a stride of 2 holds the alternating capitals and small letters."""
    runs = []
    for point in sorted(folds):
        delta = folds[point] - point
        if runs:
            first, last, stride, run_delta = runs[-1]
            if run_delta == delta and (point - last == stride or
                                       (first == last and point - last in (1, 2))):
                runs[-1] = (first, point, point - last, delta)
                continue
        runs.append((point, point, 1, delta))
    return runs


def write_folding(path, version, runs):
    cells = [f'{{0x{first:x}, 0x{last:x}, {stride}, {delta}}}'
             for first, last, stride, delta in runs]
    rows = ''.join('    ' + ', '.join(cells[i:i + 4]) + ',\n' for i in range(0, len(cells), 4))
    source = f'''// Generated by text/unicode/make_tables.py from the Unicode Character Database {version}:
// edit the script, not this file, and run it again.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "text/characters.h"

namespace wander {{
namespace {{

// Every stride-th character from first to last folds to itself plus delta.
struct Fold {{
  char32_t first;
  char32_t last;
  std::uint8_t stride;
  std::int32_t delta;
}};

// clang-format off
constexpr Fold kFolds[] = {{
{rows}}};
// clang-format on

}}  // namespace

char32_t case_folded(char32_t point) {{
  const Fold* after = std::upper_bound(std::begin(kFolds), std::end(kFolds), point,
                                       [](char32_t p, const Fold& f) {{ return p < f.first; }});
  if (after == std::begin(kFolds)) return point;
  const Fold& fold = *std::prev(after);
  if (point > fold.last || (point - fold.first) % fold.stride != 0) return point;
  return static_cast<char32_t>(static_cast<std::int32_t>(point) + fold.delta);
}}

}}  // namespace wander
'''
    with open(path, 'w', encoding='utf-8') as f:
        f.write(source)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else '/usr/share/unicode'
    version = unicode_version(folder)
    width = widths(folder)
    zero, wide = ranges(width, 0), ranges(width, 2)
    write_cxx(os.path.join(ROOT, 'text', 'display_width.cc'), version, zero, wide)
    write_js(os.path.join(ROOT, 'web', 'page.js'), version, zero, wide)
    names, decompositions = named_points(folder)
    write_names(os.path.join(ROOT, 'text', 'character_names.cc'), version, names,
                lookalikes(names, decompositions))
    write_folding(os.path.join(ROOT, 'text', 'case_folding.cc'), version,
                  fold_runs(case_folding(folder)))


if __name__ == '__main__':
    main()
