#!/bin/sh
# Installs Mireldo from a build folder into temporary places and checks the
# installed tree and the launcher: the first run fills the user's folder with
# the documents and samples and starts the program there; a later run keeps a
# mail template the user saved and adds back a document that went missing.
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

# ---- Staged with DESTDIR, the tree works where it was put ---------------------
DESTDIR="$tmp/stage" "$cmake" --install "$build" >/dev/null
staged=$(find "$tmp/stage" -path '*/bin/mireldo-launcher')
[ -n "$staged" ] || fail "nothing installed under DESTDIR"
rm -rf "$tmp/home"
launch "$staged"
seeded "$work"
started_in "$work"

echo "install and launcher: all checks passed"
