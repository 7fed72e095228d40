#!/bin/sh
# Installs Mireldo from a build folder into temporary places and checks the
# installed tree and the launcher: the first run fills the user's folder with
# the documents and samples and starts the program there; a later run keeps a
# mail template the user saved and adds back a document that went missing;
# question files named relative to where the launcher was started reach the
# program. The MIME package for the question file types is installed.
#
#   sh tests/app/test_install.sh <build folder> [cmake]
set -eu

build=$(cd "$1" && pwd)
cmake=${2:-cmake}
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

. "$root/tests/app/installed_tree.sh"

# ---- The installed tree -----------------------------------------------------
prefix="$tmp/prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
check_installed_tree "$prefix"

cmp -s "$root/resources/mireldo.xml" "$prefix/share/mime/packages/mireldo.xml" ||
  fail "the MIME package is not installed"

# ---- First run: the user's folder is filled ----------------------------------
work="$tmp/home/.local/share/mireldo"
launch "$prefix/bin/mireldo-launcher"
seeded "$work"
started_in "$work"

# ---- Later run: the saved template stays, a missing document comes back ------
printf 'saved by the user\r\n' >"$tmp/template"
cp "$tmp/template" "$work/MRLDmail.DOC"
rm "$work/QLOPLIST.DOC"
launch "$prefix/bin/mireldo-launcher"
cmp -s "$tmp/template" "$work/MRLDmail.DOC" || fail "the saved mail template was overwritten"
cmp -s "$root/data/QLOPLIST.DOC" "$work/QLOPLIST.DOC" || fail "a missing document was not restored"
started_in "$work"

# ---- Through a link, with XDG_DATA_HOME set ----------------------------------
mkdir -p "$tmp/links"
ln -s "$prefix/bin/mireldo-launcher" "$tmp/links/mireldo-launcher"
launch "$tmp/links/mireldo-launcher" XDG_DATA_HOME="$tmp/xdg"
seeded "$tmp/xdg/mireldo"
started_in "$tmp/xdg/mireldo"

# A relative XDG_DATA_HOME is ignored, as the XDG rule says.
(cd "$tmp" && launch "$prefix/bin/mireldo-launcher" XDG_DATA_HOME=relative)
[ ! -e "$tmp/relative" ] || fail "a relative XDG_DATA_HOME was used"
started_in "$work"

# ---- Files named relative to where the launcher was started -----------------------
# The program opens the file, which makes the file's folder current, as the
# open dialog does: the folder it reports shows the file was found.
mkdir -p "$tmp/sets"
cp "$root/data/kencho.mon" "$tmp/sets/"
(cd "$tmp" && env -u XDG_DATA_HOME HOME="$tmp/home" QT_QPA_PLATFORM=offscreen \
  MIRELDO_EXIT_AFTER_START_MS=300 "$prefix/bin/mireldo-launcher" -style fusion sets/kencho.mon \
  >"$tmp/out" 2>"$tmp/err") || { cat "$tmp/err" >&2; fail "the launcher did not start with a file"; }
started_in "$tmp/sets"
! grep -q "style" "$tmp/err" || fail "the toolkit option's value was taken for a file: $(cat "$tmp/err")"

# After "--" a name that starts with "-" is a file, made absolute as well.
mkdir -p "$tmp/-sets"
cp "$root/data/kencho.mon" "$tmp/-sets/"
(cd "$tmp" && env -u XDG_DATA_HOME HOME="$tmp/home" QT_QPA_PLATFORM=offscreen \
  MIRELDO_EXIT_AFTER_START_MS=0 "$prefix/bin/mireldo-launcher" -- -sets/kencho.mon \
  >"$tmp/out" 2>"$tmp/err") || { cat "$tmp/err" >&2; fail "the launcher did not start with -- FILE"; }
started_in "$tmp/-sets"

# ---- Staged with DESTDIR, the tree works where it was put ---------------------
DESTDIR="$tmp/stage" "$cmake" --install "$build" >/dev/null
staged=$(find "$tmp/stage" -path '*/bin/mireldo-launcher')
[ -n "$staged" ] || fail "nothing installed under DESTDIR"
rm -rf "$tmp/home"
launch "$staged"
seeded "$work"
started_in "$work"

echo "install and launcher: all checks passed"
