#!/usr/bin/env bash
# The bundled templates as vernalith-export users get them: `cmake --install` puts every one in
# share/vernalith/templates unchanged, and the installed exporter reads, draws and writes each.
# Usage: test_templates_installed.sh BUILD_DIR
set -u

build_dir=${1:?usage: $0 BUILD_DIR}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
source "$(dirname "$0")/checks.sh"

prefix=$work/prefix
check "cmake --install succeeds" cmake --install "$build_dir" --prefix "$prefix"
installed=$prefix/share/vernalith/templates
export_program=$prefix/bin/vernalith-export

templates=("$source_dir"/resources/templates/*.vlt)
check "six templates in the source tree" test "${#templates[@]}" -eq 6
check "as many installed as bundled" test "$(ls "$installed"/*.vlt | wc -l)" -eq "${#templates[@]}"

for template in "${templates[@]}"; do
    name=$(basename "$template" .vlt)
    check "$name is installed unchanged" cmp "$template" "$installed/$name.vlt"
    check "$name exports to PDF" "$export_program" "$installed/$name.vlt" "$work/$name.pdf"
    check "$name exports to SVG" "$export_program" "$installed/$name.vlt" "$work/$name.svg"
    # Read and written again, a template is the same file: it is what Save writes.
    check "$name comes back byte for byte" "$export_program" "$installed/$name.vlt" "$work/$name.vlt"
    check "$name round trip is identical" cmp "$template" "$work/$name.vlt"
done

# The ohmmeter's signs survive into the drawing.
check "the ohmmeter draws its Omega" grep -q "Ω" "$work/ohmmeter.svg"
check "the ohmmeter draws infinity" grep -q "∞" "$work/ohmmeter.svg"
check "the SWR meter draws infinity" grep -q "∞" "$work/swr-meter.svg"

finish
