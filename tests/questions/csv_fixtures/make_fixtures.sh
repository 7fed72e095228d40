#!/usr/bin/env bash
# Writes the CSV fixtures with the programs people make them with. The
# results are committed; run this only to make them anew (needs python3 and
# libreoffice-calc-nogui).
set -euo pipefail
cd "$(dirname "$0")"

# Python's csv module: quoted fields with commas, quotes and line breaks.
python3 - <<'PY'
import csv
rows = [
    ["question", "answer"],
    ["Capital of France, the country?", "Paris"],
    ['Who said "I think, therefore I am"?', "Descartes"],
    ["Two lines:\nfirst\nsecond", 'a "quoted", answer'],
    ["日本の首都は？", "東京"],
]
with open("python_quoted.csv", "w", newline="", encoding="utf-8") as f:
    csv.writer(f).writerows(rows)
PY

# LibreOffice Calc: the same sheet as UTF-8 (charset 76) and as the Japanese
# code page (charset 64); comma separator, double-quote text delimiter.
tmp=$(mktemp -d)
for job in "calc_utf8:76" "calc_cp932:64"; do
  soffice --headless -env:UserInstallation=file://$tmp/profile \
    --convert-to "csv:Text - txt - csv (StarCalc):44,34,${job#*:}" --outdir "$tmp/${job%%:*}" calc_sheet.fods >/dev/null
  cp "$tmp/${job%%:*}/calc_sheet.csv" "${job%%:*}.csv"
done

# LibreOffice Calc again, on a sheet whose rows start with "#" and that has
# an empty row in the middle (calc_hash_rows.fods, written by hand): as UTF-8
# with commas, as "Unicode" (charset 65535: UTF-16 little-endian after the
# mark FF FE) with tabs in a .txt, the form of a spreadsheet's "Unicode
# text", and as "Unicode" with the Text CSV filter's own separator, the
# comma. A fourth option 1 would quote every text cell, hiding the "#" at the
# start of the lines, so it is left out.
for job in "calc_hash_utf8.csv:44,34,76" "calc_hash_utf16.txt:9,34,65535" "calc_hash_utf16.csv:44,34,65535"; do
  out=${job%%:*}
  soffice --headless -env:UserInstallation=file://$tmp/profile \
    --convert-to "${out##*.}:Text - txt - csv (StarCalc):${job#*:}" --outdir "$tmp/$out" calc_hash_rows.fods >/dev/null
  cp "$tmp/$out/calc_hash_rows.${out##*.}" "$out"
done
rm -rf "$tmp"

# Python's csv module again: rows starting with "#" at the top and below,
# an empty row and a blank one.
python3 - <<'PY'
import csv
rows = [
    ["#1 日本の首都は", "東京"],
    ["#2: 富士山の高さ", "3776m"],
    ["", ""],
    ["#deck: 地理", "途中の行も問題"],
    ["  ", " "],
    ["# 注: 引用符, 改行\nを含む", '"答"'],
]
with open("python_hash_rows.csv", "w", newline="", encoding="utf-8") as f:
    csv.writer(f).writerows(rows)
PY

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
