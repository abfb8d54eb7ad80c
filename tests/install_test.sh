#!/usr/bin/env bash
# Checks what a player gets: the tree `cmake --install` makes, and the packages CPack makes.
#   tests/install_test.sh tree CMAKE BUILD_DIR VERSION CASE_RUNNER WEB_PAGE
#       installs BUILD_DIR into a new folder, checks every file, plays Gull Rock from it
#   tests/install_test.sh packages VERSION WEB_PAGE FILE...
#       checks what each .deb, .tar.gz and .zip holds
# WEB_PAGE is the web build's page/ folder: installed under share/wander/web when it exists.
set -uo pipefail
# A list piped into same_files is compared in this shell, so that its failure counts.
shopt -s lastpipe
here=$(cd "$(dirname "$0")" && pwd)

# The files a package holds, by system (linux or windows), from installed_files.txt, sorted.
files_of() { awk -v kind="$1" '$1 == kind { print $2 }' "$here/installed_files.txt" | LC_ALL=C sort; }
program_files=$(files_of linux)
windows_files=$(files_of windows)

# Every file installed on Linux, the web page in WEB_PAGE included when it was built.
linux_files() {
  {
    printf '%s\n' "$program_files"
    if [ -d "$1" ]; then (cd "$1" && find . ! -type d | sed 's|^\./|share/wander/web/|'); fi
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
  local cmake=$1 build=$2 version=$3 runner=$4 page=$5
  prefix=$(mktemp -d)
  trap 'rm -rf "$prefix"' EXIT
  "$cmake" --install "$build" --prefix "$prefix" > "$prefix.log" 2>&1 ||
    { cat "$prefix.log"; rm -f "$prefix.log"; fail "cmake --install failed"; return; }
  rm -f "$prefix.log"
  (cd "$prefix" && find . ! -type d | sed 's|^\./||') |
    same_files "the installed tree" "$(linux_files "$page")"
  for program in wander wander-world wander-make-world; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
  done
  local said
  said=$("$prefix/bin/wander-world" --version) || fail "wander-world --version failed"
  [ "$said" = "wander-world $version" ] ||
    fail "wander-world --version says '$said', expected 'wander-world $version'"
  cmp "$prefix/share/wander/World.txt" "$here/../examples/World.txt" || fail "another sample world"
  "$runner" --game "$prefix/bin/wander" --tool "$prefix/bin/wander-world" \
    "$here/cases/game/gull_rock.case" || failed=1
  if [ -d "$page" ]; then
    grep -qF '<title>Gull Rock</title>' "$prefix/share/wander/web/index.html" ||
      fail "the installed page is not titled Gull Rock"
    "$prefix/bin/wander-world" publish "$prefix/share/wander/World.txt" "$prefix/site" > /dev/null &&
      grep -qF '<title>World.txt</title>' "$prefix/site/index.html" ||
      fail "the installed wander-world publishes no page titled World.txt"
  fi
  [ "$failed" -eq 0 ] && echo "the installed tree holds what it should"
}

check_package() {
  local version=$1 page=$2 file=$3 name failed_before=$failed
  failed=0
  name=$(basename "$file")
  case $name in
    wander_"$version"_*.deb)
      dpkg-deb -c "$file" | awk '/^-/ { print $NF }' | sed 's|^\./usr/||' |
        same_files "$name" "$(linux_files "$page")"
      [ "$(dpkg-deb -f "$file" Package Version)" = "Package: wander
Version: $version" ] || fail "$name: wrong package name or version: $(dpkg-deb -f "$file" Package Version)"
      dpkg-deb -f "$file" Depends | grep -q 'libc6' ||
        fail "$name depends on no C library: $(dpkg-deb -f "$file" Depends)"
      ;;
    wander-"$version"-Linux.tar.gz)
      tar -tzf "$file" | grep -v '/$' | sed "s|^wander-$version-Linux/||" |
        same_files "$name" "$(linux_files "$page")"
      ;;
    wander-"$version"-win64.zip)
      cmake -E tar tf "$file" | grep -v '/$' | sed "s|^wander-$version-win64/||" |
        same_files "$name" "$windows_files"
      ;;
    *) fail "$name: not a package of wander $version" ;;
  esac
  [ "$failed" -eq 0 ] && echo "$name holds what it should"
  [ "$failed_before" -eq 0 ] || failed=1
}

case ${1:-} in
  tree) check_tree "$2" "$3" "$4" "$5" "$6" ;;
  packages)
    version=$2
    page=$3
    shift 3
    for file in "$@"; do check_package "$version" "$page" "$file"; done
    ;;
  *)
    sed -n '2,7s/^# \{0,1\}//p' "$0"
    exit 2
    ;;
esac
exit "$failed"
