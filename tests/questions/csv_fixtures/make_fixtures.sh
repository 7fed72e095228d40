#!/usr/bin/env bash
# Writes the CSV fixtures with the programs people make them with. The
# results are committed; run this only to make them anew (needs python3 and
# libreoffice-calc-nogui).
set -euo pipefail
cd "$(dirname "$0")"

# Python's csv module: quoted fields with commas, quotes and line breaks
# (python_quoted.csv); rows starting with "#" at the top and below, an empty
# row and a blank one (python_hash_rows.csv).
python3 - <<'PY'
import csv
files = {
    "python_quoted.csv": [
        ["question", "answer"],
        ["Capital of France, the country?", "Paris"],
        ['Who said "I think, therefore I am"?', "Descartes"],
        ["Two lines:\nfirst\nsecond", 'a "quoted", answer'],
        ["日本の首都は？", "東京"],
    ],
    "python_hash_rows.csv": [
        ["#1 日本の首都は", "東京"],
        ["#2: 富士山の高さ", "3776m"],
        ["", ""],
        ["#deck: 地理", "途中の行も問題"],
        ["  ", " "],
        ["# 注: 引用符, 改行\nを含む", '"答"'],
    ],
}
for name, rows in files.items():
    with open(name, "w", newline="", encoding="utf-8") as f:
        csv.writer(f).writerows(rows)
PY

# LibreOffice Calc (7.4), each sheet written by hand: "sheet output options",
# the options being separator, text delimiter (34, the double quote) and
# character set. calc_sheet.fods as UTF-8 (76) and as the Japanese code page
# (64), with commas. calc_hash_rows.fods, whose rows start with "#" and that
# has an empty row in the middle: as UTF-8 with commas; as "Unicode" (65535:
# UTF-16 little-endian after the mark FF FE) with tabs in a .txt, the form of
# a spreadsheet's "Unicode text"; and as "Unicode" with the Text CSV
# filter's own separator, the comma. A fourth option 1 would quote every
# text cell, hiding the "#" at the start of the lines, so it is left out.
tmp=$(mktemp -d)
while read -r sheet out options; do
  soffice --headless -env:UserInstallation=file://$tmp/profile \
    --convert-to "${out##*.}:Text - txt - csv (StarCalc):$options" --outdir "$tmp/$out" "$sheet" >/dev/null
  cp "$tmp/$out/${sheet%.fods}.${out##*.}" "$out"
done <<'JOBS'
calc_sheet.fods calc_utf8.csv 44,34,76
calc_sheet.fods calc_cp932.csv 44,34,64
calc_hash_rows.fods calc_hash_utf8.csv 44,34,76
calc_hash_rows.fods calc_hash_utf16.txt 9,34,65535
calc_hash_rows.fods calc_hash_utf16.csv 44,34,65535
JOBS
rm -rf "$tmp"

# A flashcard program's "notes in plain text" export: tab-separated, header
# lines naming the separator, HTML fields, and the guid and note-type columns.
python3 - <<'PY'
rows = [
    ("f9Qk2&Lp1x", "Basic", "<b>光合成</b>で作られる気体は？", "酸素 (O<sub>2</sub>)", "biology"),
    ("a8#Wz0!mTq", "Basic", "「春はあけぼの」で始まる作品は？<br>作者も答えよ", "<div>枕草子</div><div>清少納言</div>", "japanese"),
    ("Zx3$vB7nR2", "Basic", "&lt;br&gt; タグの意味は？ [sound:tag.mp3]", "改行&nbsp;", ""),
]
with open("flashcards.txt", "w", encoding="utf-8", newline="") as f:
    f.write("#separator:tab\n#html:true\n#guid column:1\n#notetype column:2\n#tags column:5\n")
    for row in rows:
        f.write("\t".join(row) + "\n")
PY
