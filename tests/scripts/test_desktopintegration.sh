#!/usr/bin/env bash
# The desktop integration as a desktop sees it: a valid desktop entry, a dial file type that is
# recognised by name and by content, and `cmake --install` putting programs, entry, type, icons
# and help pages where freedesktop systems look for them.
# Usage: test_desktopintegration.sh BUILD_DIR
set -u

build_dir=${1:?usage: $0 BUILD_DIR}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
source "$(dirname "$0")/checks.sh"
need desktop-file-validate desktop-file-utils
need update-mime-database shared-mime-info
need xmllint libxml2-utils
need /usr/bin/python3 python3

desktop=$source_dir/packaging/vernalith.desktop
mime=$source_dir/packaging/vernalith-mime.xml

# --- the desktop entry ---------------------------------------------------------------------
check "desktop entry validates" desktop-file-validate "$desktop"
entry() { grep -E "^$1=" "$desktop" | head -n 1 | cut -d= -f2-; }
check "entry runs vernalith with the file" test "$(entry Exec)" = "vernalith %f"
check "entry names the dial file type" test "$(entry MimeType)" = "application/x-vernalith-dial;"
check "entry names the icon" test "$(entry Icon)" = "vernalith"

# --- the file type -------------------------------------------------------------------------
check "type description is well-formed XML" xmllint --noout "$mime"
mkdir -p "$work/mime/packages"
cp "$mime" "$work/mime/packages/vernalith.xml"
check "type database builds" update-mime-database "$work/mime"
check "*.vlt names the dial type" grep -qxF "50:application/x-vernalith-dial:*.vlt" "$work/mime/globs2"
check "first line [Vernalith1.0] is the dial type's magic" \
    /usr/bin/python3 - "$work/mime/magic" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
section = data.split(b'[60:application/x-vernalith-dial]\n', 1)
assert len(section) == 2, 'no magic section for application/x-vernalith-dial'
rule = section[1]
# ">offset=" then a big-endian 16-bit length, then the bytes to match
assert rule.startswith(b'>0=\x00\x0e[Vernalith1.0]'), rule[:40]
PY

# --- cmake --install -----------------------------------------------------------------------
prefix=$work/prefix
check "cmake --install succeeds" cmake --install "$build_dir" --prefix "$prefix"
for file in \
    bin/vernalith \
    bin/vernalith-export \
    share/applications/vernalith.desktop \
    share/mime/packages/vernalith.xml \
    share/icons/hicolor/scalable/apps/vernalith.svg \
    share/icons/hicolor/48x48/apps/vernalith.png \
    share/icons/hicolor/256x256/apps/vernalith.png; do
    check "installs $file" test -s "$prefix/$file"
done
check "installed programs are executable" test -x "$prefix/bin/vernalith" -a -x "$prefix/bin/vernalith-export"
check "installed entry and type are the packaged ones" \
    cmp "$desktop" "$prefix/share/applications/vernalith.desktop"
check "installing into a live prefix registers the type" \
    test -s "$prefix/share/mime/application/x-vernalith-dial.xml"

# Every help page that the program shows is installed for a browser too.
help_files=$(sed -n 's|.*<file>\(help/[^<]*\)</file>.*|\1|p' "$source_dir/resources/vernalith.qrc")
check "the resource list names help pages" test -n "$help_files"
for file in $help_files; do
    check "installs doc $file" cmp "$source_dir/resources/$file" "$prefix/share/doc/vernalith/$file"
done
check "help pages have titles, and their links and anchors exist" \
    /usr/bin/python3 - "$prefix/share/doc/vernalith/help" <<'PY'
import pathlib, re, sys, urllib.parse
pages = sorted(pathlib.Path(sys.argv[1]).glob('*.html'))
assert pages, 'no help pages'
for page in pages:
    html = page.read_text(encoding='utf-8')
    assert re.search(r'<title>[^<]+</title>', html), f'{page.name}: no title'
    for link in re.findall(r'\b(?:href|src)\s*=\s*"([^"]*)"', html):
        url = urllib.parse.urlsplit(link)
        assert not url.scheme and not url.netloc, f'{page.name}: {link} leaves the help'
        target = (page.parent / url.path) if url.path else page
        assert target.is_file(), f'{page.name}: {link} is missing'
        if url.fragment:
            assert f'name="{url.fragment}"' in target.read_text(encoding='utf-8'), f'{page.name}: {link}: no anchor'
PY

check "PNG icons have the size their folder says" /usr/bin/python3 - "$prefix/share/icons/hicolor" <<'PY'
import struct, sys
for size in (48, 256):
    with open(f'{sys.argv[1]}/{size}x{size}/apps/vernalith.png', 'rb') as f:
        head = f.read(24)
    assert head[:8] == b'\x89PNG\r\n\x1a\n', f'{size}: not a PNG'
    width, height = struct.unpack('>II', head[16:24])
    assert (width, height) == (size, size), f'{size}: {width}x{height}'
PY

finish
