#!/usr/bin/env bash
# vernalith-export's --text-outlines and --crop-marks: listed by --help, refused (status 2, no
# file) for formats they do not apply to; a PDF with both holds no font.
#   bash test_cli_maker_options.sh BUILD_DIR
set -uo pipefail
tool="${1:?usage: test_cli_maker_options.sh BUILD_DIR}/src/cli/vernalith-export"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; failures=$((failures + 1)); fi; }
printf '%s\r\n' '[Vernalith1.0]' '[Dimensions]' 52 45 26 33 5 12 47 12 '[Labels]' $'26\t40\tmA\t8' '' >"$work/card.vlt"

check "--help lists both" '"$tool" --help | grep -q -- --text-outlines && "$tool" --help | grep -q -- --crop-marks'
for case in "--crop-marks out.svg" "--crop-marks out.dxf" "--crop-marks out.png" "--text-outlines out.png" "--text-outlines out.vlt"; do
    read -r option output <<<"$case"
    check "$option refused for $output" '"$tool" $option "$work/card.vlt" "$work/$output" 2>/dev/null; [ $? = 2 ] && [ ! -e "$work/$output" ]'
done
check "PDF outlines, no font" '"$tool" --text-outlines --crop-marks "$work/card.vlt" "$work/c.pdf" && [ "$(pdffonts "$work/c.pdf" | wc -l)" = 2 ]'
[ "$failures" = 0 ]
