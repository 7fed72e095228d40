# Checks shared by the tests of an installed Mireldo (test_install.sh, after
# `cmake --install`, and test_package.sh, on the unpacked .deb). Sourced; the
# caller sets $root (the source tree) and $tmp (a scratch folder it removes).

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_line() { grep -qxF -- "$2" "$1" || fail "$1 has no line '$2'"; }

# The PNG header: width and height, then bit depth and colour type.
png_header() { od -An -tu1 -j16 -N10 "$1" | tr -s ' ' ' ' | sed 's/^ //'; }
# Width and height from the header, two big-endian 32-bit numbers.
png_size() {
  png_header "$1" | awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }'
}

# Runs the launcher with a fresh environment; the program quits after its
# first frame and reports the folder it was started in.
launch() {
  launcher=$1; shift
  env -u XDG_DATA_HOME HOME="$tmp/home" QT_QPA_PLATFORM=offscreen \
    MIRELDO_EXIT_AFTER_START_MS=0 "$@" "$launcher" >"$tmp/out" 2>"$tmp/err" ||
    { cat "$tmp/err" >&2; fail "$launcher did not start and quit cleanly"; }
}
started_in() {
  expected="directory=$(cd "$1" && pwd -P)"
  grep -q "^mireldo-startup .* $expected\$" "$tmp/out" ||
    fail "program not started in $1: $(cat "$tmp/out")"
}
seeded() {
  for file in "$root"/data/*; do
    cmp -s "$file" "$1/$(basename "$file")" || fail "$1/$(basename "$file") not seeded"
  done
}

# The program, its launcher, the documents, the menu entry, the metadata and
# the icons under an installation prefix.
check_installed_tree() {
  prefix=$1
  id=io.github.mireldo.Mireldo
  [ -x "$prefix/bin/mireldo" ] || fail "bin/mireldo missing"
  [ -x "$prefix/bin/mireldo-launcher" ] || fail "bin/mireldo-launcher missing"
  seeded "$prefix/share/mireldo"
  [ ! -e "$prefix/share/mireldo/.gitattributes" ] || fail "the repository's .gitattributes installed"

  desktop="$prefix/share/applications/$id.desktop"
  [ -f "$desktop" ] || fail "$id.desktop missing"
  expect_line "$desktop" "[Desktop Entry]"
  expect_line "$desktop" "Type=Application"
  expect_line "$desktop" "Name=Mireldo"
  grep -q '^Exec=mireldo-launcher\( %[fF]\)\?$' "$desktop" || fail "Exec does not start the launcher"
  expect_line "$desktop" "Icon=$id"
  expect_line "$desktop" "Categories=Education;"
  grep -q '^Name\[ja\]=..*' "$desktop" || fail "no Japanese name"
  grep -q '^Comment\[ja\]=..*' "$desktop" || fail "no Japanese comment"

  metainfo="$prefix/share/metainfo/$id.metainfo.xml"
  grep -qF "<id>$id</id>" "$metainfo" || fail "metainfo missing or not named $id"
  grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not name the menu entry"

  icons="$prefix/share/icons/hicolor"
  # 32 x 32, 8 bits per index, colour type 3: a palette image.
  [ "$(png_header "$icons/32x32/apps/$id.png")" = "0 0 0 32 0 0 0 32 8 3" ] ||
    fail "the 32 x 32 icon is not a 32 x 32 palette image"
  for size in 48 64 128 256; do
    [ "$(png_size "$icons/${size}x$size/apps/$id.png")" = "$size $size" ] ||
      fail "the ${size}x$size icon is not $size x $size"
  done

  [ -f "$prefix/share/doc/mireldo/copyright" ] || fail "share/doc/mireldo/copyright missing"
  [ -f "$prefix/share/man/man1/mireldo.1.gz" ] || fail "manual page missing"
}
