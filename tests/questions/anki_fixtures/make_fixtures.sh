#!/usr/bin/env bash
# Writes the Anki package fixtures. The results are committed; run this only
# to make them anew (needs node and npm with the npm registry, sqlite3, zstd,
# zip, od).
#
#   npm_basic.apkg     written by the npm deck writer anki-apkg-export 4.0.3:
#                      schema 11 in collection.anki2, one deck "日本語::漢字"
#   legacy.colpkg      schema 11 in collection.anki21 (note-type id a JSON
#                      string, decks "地理" and "地理::アジア", a card in a deck
#                      that is gone), beside an older collection.anki2 that
#                      must not be read
#   newer.apkg         schema 18, zstd-compressed collection.anki21b (WAL
#                      header, "unicase" collation, templates as protocol
#                      buffers, cloze with gaps, suspended, filtered and
#                      picture-only cards), "meta" naming version 3 and the
#                      stub collection.anki2 that asks to update Anki
#   bad_*              packages that must be refused
set -euo pipefail
cd "$(dirname "$0")"
here=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ---- The npm deck writer -----------------------------------------------------
npm install --silent --prefix "$work/npm" anki-apkg-export@4.0.3 >/dev/null
cat >"$work/npm/write.js" <<'JS'
const fs = require('fs');
const AnkiExport = require('anki-apkg-export').default;
const deck = new AnkiExport('日本語::漢字');
deck.addCard('漢字を<b>読む</b>', 'かんじ<br>kanji', {tags: ['漢字', 'N5']});
deck.addCard('&lt;tag&gt; &amp; &#x3042;&#12356;', 'A&nbsp;B');
deck.addCard('音声[sound:a.mp3]', '<div>一行目</div><div>二行目</div>');
deck.addCard('<img src="x.png">', '絵だけの表は問題になりません');
deck.save().then(zip => fs.writeFileSync(process.argv[2], zip));
JS
(cd "$work/npm" && node write.js "$here/npm_basic.apkg")

# ---- Collections written with sqlite3 from our own table definitions ----------
schema11='
CREATE TABLE col (id integer PRIMARY KEY, crt integer NOT NULL, mod integer NOT NULL,
  scm integer NOT NULL, ver integer NOT NULL, dty integer NOT NULL, usn integer NOT NULL,
  ls integer NOT NULL, conf text NOT NULL, models text NOT NULL, decks text NOT NULL,
  dconf text NOT NULL, tags text NOT NULL);
CREATE TABLE notes (id integer PRIMARY KEY, guid text NOT NULL, mid integer NOT NULL,
  mod integer NOT NULL, usn integer NOT NULL, tags text NOT NULL, flds text NOT NULL,
  sfld integer NOT NULL, csum integer NOT NULL, flags integer NOT NULL, data text NOT NULL);
CREATE TABLE cards (id integer PRIMARY KEY, nid integer NOT NULL, did integer NOT NULL,
  ord integer NOT NULL, mod integer NOT NULL, usn integer NOT NULL, type integer NOT NULL,
  queue integer NOT NULL, due integer NOT NULL, ivl integer NOT NULL, factor integer NOT NULL,
  reps integer NOT NULL, lapses integer NOT NULL, left integer NOT NULL, odue integer NOT NULL,
  odid integer NOT NULL, flags integer NOT NULL, data text NOT NULL);
CREATE INDEX ix_cards_nid ON cards (nid);'
# note(id, mid, tags, fields...) and card(id, nid, did, ord, queue, odid) as SQL.
note() {
  local id=$1 mid=$2 tags=$3; shift 3
  local fields; fields=$(printf "%s\x1f" "$@"); fields=${fields%$'\x1f'}
  printf "INSERT INTO notes VALUES (%s, 'g%s', %s, 0, 0, '%s', '%s', '', 0, 0, '');\n" \
    "$id" "$id" "$mid" "$tags" "${fields//\'/\'\'}"
}
card() {
  printf "INSERT INTO cards VALUES (%s, %s, %s, %s, 0, 0, 0, %s, 0, 0, 0, 0, 0, 0, 0, %s, 0, '');\n" "$@"
}

# The stub a newer Anki writes for older versions.
stub_models='{"1":{"id":1,"name":"Basic","type":0,"flds":[{"name":"Front","ord":0},{"name":"Back","ord":1}],"tmpls":[{"name":"Card 1","ord":0,"qfmt":"{{Front}}","afmt":"{{FrontSide}}<hr id=answer>{{Back}}"}]}}'
{
  echo "$schema11"
  echo "INSERT INTO col VALUES (1, 0, 0, 0, 11, 0, 0, 0, '{}', '$stub_models', '{\"1\":{\"id\":1,\"name\":\"Default\"}}', '{}', '{}');"
  note 1 1 "" "Please update to the latest Anki version, then import the .colpkg/.apkg file again." ""
  card 1 1 1 0 0 0
} | sqlite3 "$work/stub.anki2"

# legacy.colpkg: schema 11 in collection.anki21.
models='{"1500000000001":{"id":"1500000000001","name":"Basic","type":0,"flds":[{"name":"Front","ord":0},{"name":"Back","ord":1}],"tmpls":[{"name":"Card 1","ord":0,"qfmt":"{{Front}}","afmt":"{{FrontSide}}\n\n<hr id=answer>\n\n{{Back}}"}]}}'
decks='{"1":{"id":1,"name":"Default"},"1600000000002":{"id":1600000000002,"name":"地理::アジア"},"1600000000003":{"id":1600000000003,"name":"地理"}}'
{
  echo "$schema11"
  echo "INSERT INTO col VALUES (1, 0, 0, 0, 11, 0, 0, 0, '{}', '$models', '$decks', '{}', '{}');"
  note 10 1500000000001 "" "日本の首都は？" "東京"
  note 11 1500000000001 "" "<div>フランスの</div><div>首都は？</div>" "パリ"
  note 12 1500000000001 "" "消えたデッキの問題" "既定のデッキへ"
  card 20 10 1600000000002 0 0 0
  card 21 11 1600000000003 0 1 0
  card 22 12 1599999999999 0 0 0
} | sqlite3 "$work/legacy.anki21"
(cd "$work" && rm -f "$here/legacy.colpkg" && cp stub.anki2 collection.anki2 && cp legacy.anki21 collection.anki21 \
  && echo '{}' >media && zip -q -X "$here/legacy.colpkg" collection.anki2 collection.anki21 media)

# newer.apkg: schema 18. The tables declare Anki's "unicase" collation, which
# the sqlite3 tool does not know: they are made with NOCASE and renamed in
# the schema text.
schema18="$schema11
CREATE TABLE notetypes (id integer NOT NULL PRIMARY KEY, name text NOT NULL COLLATE NOCASE,
  mtime_secs integer NOT NULL, usn integer NOT NULL, config blob NOT NULL);
CREATE UNIQUE INDEX idx_notetypes_name ON notetypes (name);
CREATE TABLE fields (ntid integer NOT NULL, ord integer NOT NULL, name text NOT NULL COLLATE NOCASE,
  config blob NOT NULL, PRIMARY KEY (ntid, ord)) WITHOUT ROWID;
CREATE TABLE templates (ntid integer NOT NULL, ord integer NOT NULL, name text NOT NULL COLLATE NOCASE,
  mtime_secs integer NOT NULL, usn integer NOT NULL, config blob NOT NULL,
  PRIMARY KEY (ntid, ord)) WITHOUT ROWID;
CREATE TABLE decks (id integer PRIMARY KEY NOT NULL, name text NOT NULL COLLATE NOCASE,
  mtime_secs integer NOT NULL, usn integer NOT NULL, common blob NOT NULL, kind blob NOT NULL);
CREATE UNIQUE INDEX idx_decks_name ON decks (name);"
# Protocol-buffer pieces as hex: a varint, a length-delimited string field.
varint() {
  local n=$1 out=""
  while [ "$n" -ge 128 ]; do out+=$(printf '%02x' $(((n & 127) | 128))); n=$((n >> 7)); done
  printf '%s%02x' "$out" "$n"
}
pb_string() {
  printf '%02x%s%s' $(($1 << 3 | 2)) "$(varint "$(printf '%s' "$2" | wc -c)")" \
    "$(printf '%s' "$2" | od -An -tx1 -v | tr -d ' \n')"
}
template() { # ntid ord name front back
  printf "INSERT INTO templates VALUES (%s, %s, '%s', 0, 0, X'%s%s');\n" "$1" "$2" "$3" \
    "$(pb_string 1 "$4")" "$(pb_string 2 "$5")"
}
us=$'\x1f'
{
  echo "$schema18"
  echo "INSERT INTO col VALUES (1, 0, 0, 0, 18, 0, 0, 0, '', '', '', '', '');"
  echo "INSERT INTO notetypes VALUES (2001, '基本', 0, 0, X''), (2002, '穴埋め', 0, 0, X'0801');"
  echo "INSERT INTO fields VALUES (2001, 0, '表面', X''), (2001, 1, '裏面', X''), (2001, 2, '読み', X''),"
  echo "  (2002, 0, 'Text', X''), (2002, 1, 'Extra', X''), (9999, 0, '迷子', X'');"
  template 2001 0 'カード1' '{{furigana:表面}}{{#読み}}<br>読み: {{kana:読み}}{{/読み}}' \
    $'{{FrontSide}}\n\n<hr id=answer>\n\n{{裏面}}{{type:裏面}}'
  template 2001 1 'カード2' '{{裏面}}' '{{FrontSide}}<hr id=answer>{{text:表面}}'
  template 2002 0 '穴埋め' '{{cloze:Text}}' '{{cloze:Text}}<br>{{Extra}}'
  template 9999 0 '迷子' '{{迷子}}' '{{迷子}}'
  echo "INSERT INTO decks VALUES (1, 'Default', 0, 0, X'', X''), (1001, '言語${us}日本語', 0, 0, X'', X''),"
  echo "  (1002, '言語${us}英語', 0, 0, X'', X''), (1003, '数学', 0, 0, X'', X''), (1004, '空', 0, 0, X'', X''),"
  echo "  (1005, 'フィルター', 0, 0, X'', X'');"
  note 3001 2001 "" "漢字[かんじ]を 読[よ]む" "to read kanji" ""
  note 3002 2002 "" "{{c1::三角形}}の内角の和は{{c3::180度::角度}}" "補足"
  note 3003 2001 "" "apple" "りんご" ""
  note 3004 2001 "" "x" "y" ""
  note 3005 2001 "" '<img src="a.png">' "絵" ""
  note 3006 2001 "" "日本[にほん]" "Japan &amp; <i>Nippon</i>" "日本[にほん]"
  card 4001 3001 1001 0 0 0
  card 4002 3001 1001 1 0 0
  card 4003 3002 1003 0 0 0
  card 4004 3002 1003 2 -2 0
  card 4005 3003 1005 0 0 1002
  card 4006 3003 1002 1 -1 0
  card 4007 3004 1004 0 -1 0
  card 4008 3005 1002 0 0 0
  card 4009 3006 1001 0 0 0
  card 4010 3006 1001 1 0 0
  echo "PRAGMA writable_schema = ON;"
  echo "UPDATE sqlite_master SET sql = replace(sql, 'COLLATE NOCASE', 'COLLATE unicase');"
  echo "PRAGMA writable_schema = OFF;"
  echo "PRAGMA journal_mode = WAL;"
} | sqlite3 "$work/newer.anki21b" >/dev/null
(cd "$work" && rm -f "$here/newer.apkg" && cp stub.anki2 collection.anki2 \
  && zstd -q -19 newer.anki21b -o collection.anki21b && printf '\x08\x03' >meta \
  && printf '' | zstd -q >media && zip -q -X "$here/newer.apkg" meta collection.anki2 collection.anki21b media)
# The same collection grown past a megabyte by a table the reader does not
# look at: its zstd frame is decompressed over several rounds.
cp "$work/newer.anki21b" "$work/large.anki21b"
sqlite3 "$work/large.anki21b" 'CREATE TABLE padding (x); INSERT INTO padding VALUES (zeroblob(3000000));' >/dev/null
(cd "$work" && rm -f "$here/large.apkg" && zstd -q -f -19 large.anki21b -o collection.anki21b \
  && zip -q -X "$here/large.apkg" meta collection.anki2 collection.anki21b media)

# ---- Packages that must be refused ---------------------------------------------
cd "$work"
rm -f "$here"/bad_*.apkg
printf 'not a zip archive\n' >"$here/bad_not_zip.apkg"
echo '{}' >media && zip -q -X "$here/bad_no_collection.apkg" media
# A database that is no Anki collection.
sqlite3 other.db 'CREATE TABLE t (x); INSERT INTO t VALUES (1);'
cp other.db collection.anki21 && zip -q -X "$here/bad_not_collection.apkg" collection.anki21
# A newer package version in "meta", and a newer collection schema.
printf '\x08\x04' >meta && zip -q -X "$here/bad_newer_meta.apkg" meta collection.anki2
cp legacy.anki21 newer_schema.db && sqlite3 newer_schema.db 'UPDATE col SET ver = 19;'
cp newer_schema.db collection.anki21 && zip -q -X "$here/bad_newer_schema.apkg" collection.anki21
# An encrypted entry.
cp legacy.anki21 collection.anki21 && zip -q -X -P secret "$here/bad_encrypted.apkg" collection.anki21
# A deflated entry whose compressed bytes are damaged (its checksum fails).
cp legacy.anki21 collection.anki21 && zip -q -X "$here/bad_damaged.apkg" collection.anki21
size=$(stat -c %s "$here/bad_damaged.apkg")
printf '\xff\xff\xff\xff\xff\xff\xff\xff' | dd of="$here/bad_damaged.apkg" bs=1 seek=$((size / 2)) conv=notrunc status=none
# A "meta" entry at its bound (64 KiB, no collection beside it) and one byte over.
head -c 65536 /dev/zero >meta && zip -q -X "$here/bad_meta_at_bound.apkg" meta
head -c 65537 /dev/zero >meta && zip -q -X "$here/bad_meta_too_large.apkg" meta
# A collection that inflates beyond the bound (300 MiB of zeros, a few kB packed).
head -c 300M /dev/zero | zstd -q -19 >collection.anki21b
printf '\x08\x03' >meta && zip -q -X -0 "$here/bad_too_large.apkg" meta collection.anki21b
