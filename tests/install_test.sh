#!/usr/bin/env bash
# Checks what a player gets: the tree `cmake --install` makes, and the packages CPack makes.
#   tests/install_test.sh tree CMAKE BUILD_DIR VERSION CASE_RUNNER WEB_PAGE VSIX
#       installs BUILD_DIR into a new folder, checks every file, plays Gull Rock from it
#   tests/install_test.sh packages VERSION WEB_PAGE VSIX FILE...
#       checks what each .deb, .rpm, .tar.gz and .zip holds
# WEB_PAGE is the web build's page/ folder, installed under share/wander/web, and VSIX the VS
# Code extension, installed under share/wander/editors, each "none" when the build has none.
set -uo pipefail
# A list piped into same_files is compared in this shell, so that its failure counts.
shopt -s lastpipe
here=$(cd "$(dirname "$0")" && pwd)

# The files an install of KIND (tree, deb, windows) holds, from installed_files.txt, sorted.
files_of() {
  awk -v kind="$1" '!/^#/ && index("," $1 ",", "," kind ",") { print $2 }' \
    "$here/installed_files.txt" | LC_ALL=C sort
}

# Every file an install of KIND holds on Linux, the web page in WEB_PAGE and the extension in
# VSIX included when they were built.
linux_files() {
  {
    files_of "$1"
    if [ -d "$2" ]; then (cd "$2" && find . ! -type d | sed 's|^\./|share/wander/web/|'); fi
    # The studio, installed with the page, from the folder beside it.
    if [ -d "$2/../studio" ]; then (cd "$2/../studio" && find . ! -type d | sed 's|^\./|share/wander/web/|'); fi
    if [ -f "$3" ]; then echo "share/wander/editors/$(basename "$3")"; fi
  } | LC_ALL=C sort
}

failed=0
fail() {
  echo "$*"
  failed=1
}

# Compares the list of files WHAT holds, on standard input, with WANT.
same_files() {
  local what=$1 want=$2 got
  got=$(LC_ALL=C sort)
  if [ "$got" != "$want" ]; then
    fail "$what holds other files than expected:"
    diff <(printf '%s\n' "$want") <(printf '%s\n' "$got") | grep '^[<>]' |
      sed -e 's/^</  missing:/' -e 's/^>/  unexpected:/'
  fi
}

check_tree() {
  local cmake=$1 build=$2 version=$3 runner=$4 page=$5 vsix=$6 top
  top=$(mktemp -d)
  # Expanded now: the trap runs after this function's locals are gone.
  trap "rm -rf '$top'" EXIT
  # A hyphen in the prefix, which the man pages must write as roff's \-.
  prefix=$top/wander-prefix
  "$cmake" --install "$build" --prefix "$prefix" > "$top/log" 2>&1 ||
    { cat "$top/log"; fail "cmake --install failed"; return; }
  (cd "$prefix" && find . ! -type d | sed 's|^\./||') |
    same_files "the installed tree" "$(linux_files tree "$page" "$vsix")"
  for program in wander wander-world wander-make-world; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
  done
  local said
  said=$("$prefix/bin/wander-world" --version) || fail "wander-world --version failed"
  [ "$said" = "wander-world $version" ] ||
    fail "wander-world --version says '$said', expected 'wander-world $version'"
  cmp "$prefix/share/wander/World.txt" "$here/../examples/World.txt" || fail "another sample world"
  man_pages_name "$prefix/share/wander" "$prefix"
  "$runner" --game "$prefix/bin/wander" --tool "$prefix/bin/wander-world" \
    "$here/cases/game/gull_rock.case" || failed=1
  if [ -d "$page" ]; then
    grep -qF '<title>Gull Rock</title>' "$prefix/share/wander/web/index.html" ||
      fail "the installed page is not titled Gull Rock"
    "$prefix/bin/wander-world" publish "$prefix/share/wander/World.txt" "$prefix/site" > /dev/null &&
      grep -qF '<title>World.txt</title>' "$prefix/site/index.html" ||
      fail "the installed wander-world publishes no page titled World.txt"
    # The studio installed beside the page stays out of what is published.
    [ -z "$(find "$prefix/site" -name 'studio*')" ] || fail "the published site holds the studio"
  fi
  if command -v nvim > /dev/null 2>&1; then neovim_finds_its_files "$prefix"; fi
  links_resolve "the installed tree" "$prefix/share/doc/wander"
  [ "$failed" -eq 0 ] && echo "the installed tree holds what it should"
}

# Every relative link and picture of the documents under DOC leads to a file that is there.
links_resolve() {
  local what=$1 doc=$2 document target
  while IFS= read -r document; do
    grep -o -e '](\([^)#]*\)' -e 'src="[^"]*"' "$document" |
      sed -e 's/^](//' -e 's/^src="//' -e 's/"$//' | grep -v -e '^[a-z]*:' -e '^$' |
      while IFS= read -r target; do
        [ -e "$(dirname "$document")/$target" ] ||
          fail "$what: ${document#"$doc"/} links to $target, which is not installed"
      done
  done < <(find "$doc" -name '*.md')
}

# The programs of the install at ROOT need the shared C++ runtime (WANT yes) or carry it (no).
needs_libstdcxx() {
  local name=$1 want=$2 program got
  for program in "${@:3}"; do
    got=no
    readelf -d "$program" | grep -q 'NEEDED.*libstdc++' && got=yes
    [ "$got" = "$want" ] || fail "$name: $(basename "$program") needs libstdc++: $got, not $want"
  done
}

# The man pages under ROOT/share/man (compressed with gzip -9n) name the data folder DATA, as
# roff writes it, and no other: no folder of the default prefixes, no placeholder left.
man_pages_name() {
  local data=${1//-/\\-} page
  for page in "$2/share/man/man6/wander.6.gz" "$2/share/man/man1/wander-world.1.gz"; do
    # gzip -9n: no name and no time in the header, and the best compression marked.
    [ "$(head -c 9 "$page" | od -An -tx1 | tr -d ' \n')" = 1f8b08000000000002 ] ||
      fail "$page is not compressed by gzip -9n"
    gzip -dc "$page" | grep -qF "$data/World.txt" || fail "$page does not name $data"
    gzip -dc "$page" | grep -o -e '[^ "]*share/wander' -e '@[A-Z_]*@' | grep -vxF "$data" |
      sed "s|^|$page names another folder than $data: |" | grep . && failed=1
  done
}

# Neovim finds the files under share/nvim/site as it finds them under /usr/share, through
# XDG_DATA_DIRS: a World.txt is a world, coloured, and checked by the installed wander-world.
neovim_finds_its_files() {
  local prefix=$1 said
  mkdir "$prefix/author"
  cp "$here/../examples/World.txt" "$prefix/author/World.txt"
  said=$(cd "$prefix/author" && HOME=$prefix/author XDG_CONFIG_HOME=$prefix/author/config \
    XDG_DATA_HOME=$prefix/author/data XDG_STATE_HOME=$prefix/author/state \
    XDG_DATA_DIRS=$prefix/share PATH=$prefix/bin:$PATH \
    timeout 60 nvim --headless -i NONE -u NONE --cmd 'filetype plugin on' --cmd 'syntax on' \
    -c 'lua vim.wait(5000, function() return #vim.lsp.buf_get_clients(0) > 0 end, 20)' \
    -c 'lua io.stdout:write(vim.bo.filetype, " ", vim.b.current_syntax or "-", " ",
                            #vim.lsp.buf_get_clients(0), "\n")' \
    -c 'qall!' World.txt 2>&1)
  [ "$said" = "wander wander 1" ] || fail "Neovim does not take up the installed files under \
share/nvim/site: file type, syntax and clients of World.txt are '$said', not 'wander wander 1'"
}

# The copyright file and the changelog in the .deb's documents folder DOC: the licence in the
# copyright file is LICENSE, word for word; every npm package the .vsix and the web page carry
# has its notice there; the changelog's newest entry is VERSION's.
debian_documents() {
  local name=$1 doc=$2 version=$3 vsix=$4 module
  # The stand-alone paragraph "License: Expat", its lines indented and its blank lines " .".
  awk -v RS= '/^License: Expat\n/' "$doc/copyright" | sed -e 1d -e 's/^ //' -e 's/^\.$//' |
    cmp -s - <(sed -n '/^Permission/,$p' "$here/../LICENSE") ||
    fail "$name: the copyright file's Expat licence is not LICENSE's text"
  # The npm packages bundled into the .vsix, and those whose notices (NAME-LICENSE.txt) the page
  # carries.
  {
    if [ -f "$vsix" ]; then
      unzip -p "$vsix" extension/THIRD-PARTY-NOTICES.txt | sed -n 's|^== \([^ ]*\) .*|\1 the .vsix|p'
    fi
    find "$doc/../../wander/web" -name '*-LICENSE.txt' 2> /dev/null |
      sed 's|.*/\(.*\)-LICENSE\.txt$|\1 the web page|'
  } | sort -u | while read -r module where; do
    grep -q "^\(Files:\)\? *[a-z/_-]*node_modules/\(@[^/]*/\)\?$module/\*$" "$doc/copyright" ||
      fail "$name: the copyright file says nothing of $module, in $where"
  done
  [ "$(gzip -dc "$doc/changelog.gz" | head -n 1)" = "wander ($version) unstable; urgency=medium" ] ||
    fail "$name: the changelog's newest entry is not $version's: $(gzip -dc "$doc/changelog.gz" | head -n 1)"
}

# Checks the package FILE, unpacked into a new folder: its files (regular files; the .rpm's
# build-id links aside) against installed_files.txt, its links, its man pages, its fields.
check_package() {
  local version=$1 page=$2 vsix=$3 file=$4 name unpacked root failed_before=$failed
  # The files it holds, as the installs of KIND; where its man pages say the data folder is.
  local kind=tree data=/usr/share/wander
  failed=0
  name=$(basename "$file")
  unpacked=$(mktemp -d)
  case $name in
    wander_"$version"_*.deb)
      dpkg-deb -x "$file" "$unpacked" && root=$unpacked/usr kind=deb
      [ "$(dpkg-deb -f "$file" Package Version)" = "Package: wander
Version: $version" ] || fail "$name: wrong package name or version: $(dpkg-deb -f "$file" Package Version)"
      dpkg-deb -f "$file" Depends | grep -q 'libc6.*libstdc++6' ||
        fail "$name depends on no C or C++ library: $(dpkg-deb -f "$file" Depends)"
      needs_libstdcxx "$name" yes "$root/games/wander" "$root/bin/wander-world" \
        "$root/bin/wander-make-world"
      debian_documents "$name" "$root/share/doc/wander" "$version" "$vsix"
      ;;
    wander-"$version"-*.rpm)
      rpm2archive - < "$file" | tar -xzf - -C "$unpacked" && root=$unpacked/usr
      [ "$(rpm -qp --qf '%{NAME} %{VERSION}' "$file")" = "wander $version" ] ||
        fail "$name: wrong package name or version: $(rpm -qp --qf '%{NAME} %{VERSION}' "$file")"
      rpm -qRp "$file" | grep -q '^libstdc++\.so' ||
        fail "$name requires no C++ library: $(rpm -qRp "$file" | tr '\n' ' ')"
      ;;
    wander-"$version"-Linux.tar.gz)
      # Unpacked anywhere: the pages name the folder from the archive's own.
      tar -xzf "$file" -C "$unpacked" && root=$unpacked/wander-$version-Linux
      data=wander-$version-Linux/share/wander
      needs_libstdcxx "$name" no "$root"/bin/*
      ;;
    wander-"$version"-win64.zip)
      cmake -E chdir "$unpacked" cmake -E tar xf "$(realpath "$file")" &&
        root=$unpacked/wander-$version-win64 kind=windows data=
      ;;
    *) fail "$name: not a package of wander $version" ;;
  esac
  if [ -n "${root-}" ]; then
    (cd "$root" && find . -type f | sed 's|^\./||') | same_files "$name" \
      "$(if [ "$kind" = windows ]; then files_of windows; else linux_files "$kind" "$page" "$vsix"; fi)"
    links_resolve "$name" "$root${data:+/share/doc/wander}"
    [ -z "$data" ] || man_pages_name "$data" "$root"
  fi
  rm -rf "$unpacked"
  [ "$failed" -eq 0 ] && echo "$name holds what it should"
  [ "$failed_before" -eq 0 ] || failed=1
}

case ${1:-} in
  tree) check_tree "$2" "$3" "$4" "$5" "$6" "$7" ;;
  packages)
    version=$2
    page=$3
    vsix=$4
    shift 4
    for file in "$@"; do check_package "$version" "$page" "$vsix" "$file"; done
    ;;
  *)
    sed -n '2,8s/^# \{0,1\}//p' "$0"
    exit 2
    ;;
esac
exit "$failed"
