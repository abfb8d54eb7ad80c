#!/usr/bin/env bash
# wander-world publish run as an author runs it, on a small stand-in for the web page: what the
# published folder holds, byte for byte and with which modes, the page's title and byline, that
# links in it are replaced and never written through, where an installed program finds the page,
# names shown escaped, and every way the command can fail.
#   publish_test.sh WANDER_WORLD
set -euo pipefail
tool=$(realpath "$1")
root=$(realpath "$(mktemp -d)")
trap 'rm -rf "$root"' EXIT
page=$root/page out=$root/out installed=$root/prefix/share/wander/web esc=$'\e' bad=$'\xff'

failures=0
fail() { echo "FAIL ($row): $*" && failures=$((failures + 1)); }
# expect FILE TEXT [start]: FILE holds TEXT (with printf %b escapes) byte for byte, or starts so.
expect() {
  printf '%b' "$2" > "$root/want"
  { if [ -n "${3-}" ]; then head -c "$(wc -c < "$root/want")" "$1"; else cat "$1"; fi; } \
    2> /dev/null | cmp -s "$root/want" - ||
    fail "${1#"$root"/} should ${3:-be} $(printf %q "$2"); is:"$'\n'"$(cat "$1" 2>&1)"
}
# The stand-in's index.html titled TITLE, with BYLINE under it, both as printf %b takes them.
titled() {
  printf '<title>%s</title><h1 id="title">%s</h1><p id="byline">%s</p>\\n' "$1" "$1" "$2"
}
# world.js for a World.txt holding WORLD: every byte as two lower-case hex digits.
script() {
  printf 'wanderWorld("World.txt", "%s");\\n' "$(printf '%b' "$1" | od -An -tx1 | tr -d ' \n')"
}
# publish STATUS WORLD ARGUMENTS...: `$program publish` run in a new folder holding World.txt
# (or the file $name), with no folder at $out yet, must exit with STATUS; leaves its streams in
# $root/std{out,err}.
publish() {
  rm -rf "$root/work" "$out" && mkdir "$root/work"
  printf '%b' "$2" > "$root/work/${name:-World.txt}"
  local want=$1 status=0
  shift 2
  (cd "$root/work" && "$program" publish "$@") > "$root/stdout" 2> "$root/stderr" || status=$?
  [ "$status" = "$want" ] || fail "exit status $status, not $want: $(cat "$root/stderr")"
}
# A page of three files, one of them the world it came with, and a folder publish ignores; and
# a page whose index.html has no place for the title.
mkdir -p "$page/extra" "$root/untitled" "$root/prefix/bin" "$installed"
printf 'no\n' > "$page/extra/notes" && printf '<title>page</title>\n' > "$root/untitled/index.html"
printf '<title>page</title><h1 id="title">page</h1><p id="byline">old</p>\n' > "$page/index.html"
printf 'play();\n' > "$page/page.js"
printf 'wanderWorld("old.txt", "");\n' > "$page/world.js"
world='Start: Hall\n<Hall>\nA hall.\n*\nNorth: None East: None South: None West: None\nObjects: 0\n'

# Each failure says why and writes nothing; run by a copy in an installed layout, PREFIX/bin,
# with no page (no index.html) in PREFIX/share/wander/web.
cp "$tool" "$root/prefix/bin/wander-world" && program=$root/prefix/bin/wander-world
while IFS='|' read -r row errors; do
  read -ra words <<< "$row"
  words=("${words[@]//PAGE/"$page"}") && words=("${words[@]//OUT/"$out"}")
  words=("${words[@]//ROOT/"$root"}") && words=("${words[@]//ESC/"$esc"}")
  words=("${words[@]//EMPTY/}") && words=("${words[@]//BAD/"$bad"}")
  publish 2 "$world" "${words[@]}"
  expect "$root/stdout" ''
  errors=${errors//PAGE/"$page"} && errors=${errors//OUT/"$out"} && errors=${errors//ROOT/"$root"}
  errors=${errors//BUILT/"$root/prefix/bin/web/page"}
  expect "$root/stderr" "wander-world: ${errors//INSTALLED/"$installed"}" start
  [ ! -e "$out" ] || fail "$out was made"
  expect "$page/world.js" 'wanderWorld("old.txt", "");\n'
done << 'EOF'
|no folder to publish into\n\nusage: wander-world publish
a b OUT|more than one file given\n\nusage:
EMPTY OUT|the file name is empty\n\nusage: wander-world publish
World.txt EMPTY|the folder name is empty\n\nusage: wander-world publish
EMPTY|the folder name is empty\n\nusage: wander-world publish
--page EMPTY World.txt OUT|the page's folder name is empty\n\nusage: wander-world publish
--bogusESC[1m OUT|unknown option '--bogus\\x1b[1m'\n\nusage:
OUT --page|--page needs a folder\n\nusage:
--page PAGE/extra OUT|'PAGE/extra' holds no web page (no index.html)\n
--page PAGE/ESC OUT|'PAGE/\\x1b' holds no web page (no index.html)\n
--page PAGE MissingESC.txt OUT|cannot read 'Missing\\x1b.txt': No such file or directory\n
--page PAGE /dev/zero OUT|cannot read '/dev/zero': not a regular file\n
--page PAGE /proc/self/mem OUT|cannot read '/proc/self/mem': Input/output error\n
--page PAGE World.txt World.txt/OUTESC|cannot make the folder 'World.txt/OUT\\x1b': Not a directory\n
--page PAGE World.txt PAGE|the folder 'PAGE' is the page itself
--page ROOT/untitled OUT|cannot title 'ROOT/untitled/index.html': it has no <h1 id="title">
OUT --title|--title needs a text\n\nusage:
--title EMPTY OUT|the title is empty\n\nusage:
--title TheESC[1mEnd OUT|the text of --title holds a control character, \\x1b\n\nusage:
--title A --byline BAD OUT|the text of --byline is not UTF-8\n\nusage:
--byline by OUT|--byline needs a --title\n\nusage:
OUT|no web page beside the program (looked in 'BUILT' and 'INSTALLED').\nBuild it with wander: 
EOF

row=help && publish 0 "$world" --help
expect "$root/stdout" \
  'usage: wander-world publish [--title TEXT [--byline TEXT]] [--page FOLDER]\n' start

row='the page and the world' && publish 0 "$world" --page "$page" World.txt "$out"
expect "$root/stderr" ''
expect "$root/stdout" "Published 'World.txt' in '$out': 81 bytes of page and \
$(printf '%b' "$(script "$world")" | wc -c) bytes of world.
Open '$out/index.html' in a browser, or put the folder on any web server.\n"
expect "$out/index.html" "$(titled World.txt '')"
expect "$out/page.js" 'play();\n'
expect "$out/world.js" "$(script "$world")"
[ ! -e "$out/extra" ] || fail "extra/ was copied"

row='a title and a byline, escaped'
publish 0 "$world" --title "Île <b>&\"Gull's\"</b> 🐚" --byline 'by Ann & Co' --page "$page" "$out"
expect "$out/index.html" \
  "$(titled 'Île &lt;b&gt;&amp;&quot;Gull&#39;s&quot;&lt;/b&gt; 🐚' 'by Ann &amp; Co')"

row='World.txt when no file is given' && publish 0 'Start: Cellar\n' --page "$page" "$out"
expect "$out/world.js" "$(script 'Start: Cellar\n')"

row='its own files replaced, others left alone' && mkdir "$root/site"
printf 'old\n' | tee "$root/site/index.html" "$root/site/world.js" > "$root/site/about.html"
publish 0 "$world" --page "$page" World.txt "$root/site"
expect "$root/site/index.html" "$(titled World.txt '')"
expect "$root/site/world.js" "$(script "$world")"
expect "$root/site/about.html" 'old\n'

row='a world with errors' && world=${world/West: None/West: Attic}
publish 0 "$world" --page "$page" ./World.txt "$out"
expect "$root/stderr" "wander-world: warning: './World.txt' has 1 error, which the page plays as \
the console does; 'wander-world check ./World.txt' lists them\n"
expect "$out/world.js" "$(script "$world")"

# A world file and a folder whose names hold an escape: both shown escaped, never raw. In
# world.js the name is W\x1b[31m.txt, four bytes longer than World.txt; the page's title shows
# it as W\x1b[31m.txt, four bytes longer too, twice.
row='names shown escaped' && odd="W$esc[31m.txt"
name=$odd publish 0 "$world" --page "$page" "$odd" "$out$esc[1m"
expect "$root/stdout" "Published 'W\\\\x1b[31m.txt' in '$out\\\\x1b[1m': 89 bytes of page and \
$(($(printf '%b' "$(script "$world")" | wc -c) + 4)) bytes of world.
Open '$out\\\\x1b[1m/index.html' in a browser, or put the folder on any web server.\n"
expect "$root/stderr" "wander-world: warning: 'W\\\\x1b[31m.txt' has 1 error, which the page plays \
as the console does; 'wander-world check W\\\\x1b[31m.txt' lists them\n"
expect "$out$esc[1m/index.html" "$(titled 'W\\x1b[31m.txt' '')"

row='links in the folder replaced, never written through' && mkdir "$root/linked" "$root/elsewhere"
printf 'keep\n' > "$root/elsewhere/file"
ln -s ../elsewhere/file "$root/linked/index.html" && ln -s ../elsewhere/file "$root/linked/world.js"
ln -s ../elsewhere/missing "$root/linked/page.js"
publish 0 "$world" --page "$page" World.txt "$root/linked"
expect "$root/elsewhere/file" 'keep\n'
[ ! -e "$root/elsewhere/missing" ] || fail "the dangling link page.js was written through"
for file in index.html page.js world.js; do
  [ -f "$root/linked/$file" ] && [ ! -L "$root/linked/$file" ] || fail "$file is no regular file"
done
expect "$root/linked/index.html" "$(titled World.txt '')"
expect "$root/linked/world.js" "$(script "$world")"

# Whatever modes the page's files and the files replaced had, the published ones are 0644 less
# the umask: readable by a web server, and never left at a temporary file's 0600.
chmod 600 "$page/index.html" && chmod 755 "$page/page.js" && umask_before=$(umask)
for mask in 022 077; do
  row="modes under umask $mask" && rm -rf "$root/site" && mkdir "$root/site"
  printf 'old\n' > "$root/site/world.js" && chmod 700 "$root/site/world.js"
  umask "$mask"
  publish 0 "$world" --page "$page" World.txt "$root/site"
  umask "$umask_before"
  for file in index.html page.js world.js; do
    mode=$(stat -c %a "$root/site/$file")
    [ "$mode" = "$(printf %o $((0644 & ~0$mask)))" ] || fail "$file has mode $mode"
  done
done
chmod 644 "$page/index.html" "$page/page.js"

row='a failed write leaves no temporary file' && rm -rf "$root/site"
mkdir -p "$root/site/index.html"
publish 2 "$world" --page "$page" World.txt "$root/site"
expect "$root/stderr" "wander-world: cannot write '$root/site/index.html': Is a directory\n"
left=$(cd "$root/site" && ls -A | grep -vxE 'index.html|page.js') && fail "left behind: $left"

# The installed page is the sample world's, titled: published again, it takes the new title.
row='the installed page'
publish 0 "$world" --title 'Gull Rock' --byline 'by us' --page "$page" "$out"
cp -R "$out/." "$installed" && publish 0 "$world" "$out"
expect "$out/index.html" "$(titled World.txt '')"
expect "$out/page.js" 'play();\n'
expect "$out/world.js" "$(script "$world")"

# In a build folder the page built beside the program comes first.
row='the page built beside' && mkdir -p "$root/prefix/bin/web/page"
printf '<title>t</title><h1 id="title">t</h1><p id="byline"></p>\n' > "$root/prefix/bin/web/page/index.html"
publish 0 "$world" "$out"
expect "$out/index.html" "$(titled World.txt '')"
[ ! -e "$out/page.js" ] || fail "the installed page was published"

[ "$failures" = 0 ] || exit 1
echo "publish test passed"
