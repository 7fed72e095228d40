#!/bin/sh
# The menu entry and the question file types as a desktop sees them: the
# entry passes desktop-file-validate and names only types the MIME package
# defines; the package builds a MIME database in a temporary prefix without
# a word of complaint, and there a .mon, a .5tq file and Anki packages (in
# any letter case) are known by their new types.
#
#   sh tests/app/test_desktop_files.sh
# Exits 77 (skipped) when a desktop tool is missing; `make test` installs them.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
entry="$root/resources/io.github.mireldo.Mireldo.desktop"
package="$root/resources/mireldo.xml"

for tool in desktop-file-validate update-mime-database xdg-mime mimetype; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool not installed (scripts/install-deps desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl)"
    exit 77
  fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# ---- The menu entry -----------------------------------------------------------
desktop-file-validate "$entry" || fail "desktop-file-validate refuses $entry"
grep -qxF 'Exec=mireldo-launcher %F' "$entry" || fail "the entry does not pass the files on"
types=$(sed -n 's/^MimeType=//p' "$entry" | tr ';' ' ')
[ -n "$types" ] || fail "the entry names no MIME type"
for type in $types; do
  grep -qF "<mime-type type=\"$type\">" "$package" || fail "the entry names $type, which the package does not define"
done

# ---- The MIME package in a temporary prefix ----------------------------------------
share="$tmp/share"
mkdir -p "$share/mime/packages"
cp "$package" "$share/mime/packages/"
# The tool exits 0 even when it cannot parse a package: any output is a failure.
XDG_DATA_DIRS="$share" update-mime-database "$share/mime" >"$tmp/log" 2>&1 ||
  fail "update-mime-database failed: $(cat "$tmp/log")"
[ ! -s "$tmp/log" ] || fail "update-mime-database complained: $(cat "$tmp/log")"

cp "$root/data/kencho.mon" "$tmp/kencho.mon"
cp "$root/data/sample.5tq" "$tmp/sample.5tq"
cp "$root/data/sample.5tq" "$tmp/SAMPLE.5TQ"
# Outside any desktop session, xdg-mime asks the shared MIME database itself.
filetype() {
  env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
    XDG_DATA_HOME="$tmp/home" XDG_DATA_DIRS="$share:/usr/share" xdg-mime query filetype "$1"
}
expect_type() {
  actual=$(filetype "$1")
  [ "$actual" = "$2" ] || fail "$(basename "$1") is $actual, not $2"
}
expect_type "$tmp/kencho.mon" text/x-mireldo-mon
expect_type "$tmp/sample.5tq" application/x-mireldo-5tq
expect_type "$tmp/SAMPLE.5TQ" application/x-mireldo-5tq
cp "$root/tests/questions/anki_fixtures/newer.apkg" "$tmp/deck.apkg"
cp "$root/tests/questions/anki_fixtures/legacy.colpkg" "$tmp/COLLECTION.COLPKG"
expect_type "$tmp/deck.apkg" application/x-apkg
expect_type "$tmp/COLLECTION.COLPKG" application/x-apkg

echo "menu entry and file types: all checks passed"
