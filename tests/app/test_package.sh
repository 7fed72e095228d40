#!/bin/sh
# Unpacks the built .deb into a throw-away root (dpkg -x, as the package
# manager would lay it out under /) and checks what it holds and declares,
# then starts the installed program there through its launcher, which must
# find the documents under usr/share/mireldo beside its own folder.
#
#   sh tests/app/test_package.sh <folder holding the .deb> <version>
#
# Exits 77 (skipped) when no package of that version has been built yet:
# `make package` builds it.
set -eu

folder=$1
version=$2
root=$(cd "$(dirname "$0")/../.." && pwd)

deb=$(ls "$folder"/mireldo_"$version"_*.deb 2>/dev/null | head -n 1) || true
if [ -z "$deb" ]; then
  echo "no mireldo_${version}_*.deb in $folder: run 'make package' first"
  exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

. "$root/tests/app/installed_tree.sh"

# ---- What the package declares -----------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = mireldo ] || fail "package name is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "version is '$(field Version)', not $version"
[ "$(field Section)" = education ] || fail "section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
depends=$(field Depends)
# The fonts and the toolkit's translations by name, the toolkit's libraries
# as read from the binary.
for package in fonts-ipafont-gothic qt6-translations-l10n libqt6widgets6; do
  echo ", $depends," | grep -q ", $package[ ,]" || fail "Depends lacks $package: $depends"
done

# ---- What it installs -----------------------------------------------------------
dpkg-deb -x "$deb" "$tmp/root"
check_installed_tree "$tmp/root/usr"
[ -f "$tmp/root/usr/share/doc/mireldo/changelog.gz" ] || fail "no changelog"
unexpected=$(cd "$tmp/root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$unexpected" ] || fail "files outside /usr: $unexpected"

# ---- The installed program starts from the menu entry's command ------------------
work="$tmp/home/.local/share/mireldo"
launch "$tmp/root/usr/bin/mireldo-launcher"
seeded "$work"
started_in "$work"

echo "package $(basename "$deb"): all checks passed"
