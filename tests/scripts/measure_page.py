#!/usr/bin/env python3
"""Reads a printed or exported page back from its SVG (pdftocairo -svg).

measure_page.py card PAGE.svg AREA W H DX DY: the card outline is W x H mm, DX, DY mm right of and
below the printable area's top-left corner. measure_page.py rulers PAGE.svg AREA: the test sheet's
rulers are 150 and 200 mm with a tick per millimetre, all within the printable area. AREA is
"left bottom right top" in points, or "page". Exits non-zero with FAIL: on a mismatch.
"""
import re
import sys
import xml.etree.ElementTree as ET

mode, svg_path, area = sys.argv[1], sys.argv[2], sys.argv[3]
PT = 25.4 / 72.0
TOLERANCE = 0.05

root = ET.parse(svg_path).getroot()
width_pt = float(re.match(r"[\d.]+", root.get("width")).group())
height_pt = float(re.match(r"[\d.]+", root.get("height")).group())
view = [float(v) for v in root.get("viewBox").split()] if root.get("viewBox") else [0, 0, width_pt, height_pt]
sx, sy = width_pt / view[2], height_pt / view[3]
# The printable area in points from the page's bottom-left corner; "page" for the whole page.
left, bottom, right, top = (0, 0, width_pt, height_pt) if area == "page" else (float(v) for v in area.split())


def matrix(text):
    """The transform attribute as (a, b, c, d, e, f)."""
    m = (1.0, 0.0, 0.0, 1.0, 0.0, 0.0)
    for name, args in re.findall(r"(\w+)\s*\(([^)]*)\)", text or ""):
        v = [float(x) for x in re.split(r"[\s,]+", args.strip()) if x]
        if name == "matrix":
            t = tuple(v)
        elif name == "translate":
            t = (1, 0, 0, 1, v[0], v[1] if len(v) > 1 else 0)
        elif name == "scale":
            t = (v[0], 0, 0, v[1] if len(v) > 1 else v[0], 0, 0)
        else:
            continue
        m = compose(m, t)
    return m


def compose(m, t):
    a, b, c, d, e, f = m
    A, B, C, D, E, F = t
    return (a * A + c * B, b * A + d * B, a * C + c * D, b * C + d * D, a * E + c * F + e, b * E + d * F + f)


def apply(m, x, y):
    a, b, c, d, e, f = m
    return a * x + c * y + e, b * x + d * y + f


def subpaths(d):
    """The straight subpaths of a path as lists of end points; a subpath with a curve is left out."""
    result, pts, x, y, curved = [], [], 0.0, 0.0, False
    tokens = re.findall(r"[A-Za-z]|-?[\d.]+(?:e-?\d+)?", d)
    i, cmd = 0, None
    while i < len(tokens):
        if tokens[i].isalpha():
            cmd = tokens[i]
            i += 1
            if cmd in "Zz":
                continue
            if cmd in "Mm":
                if pts and not curved:
                    result.append(pts)
                pts, curved = [], False
        if cmd in "ML":
            x, y = float(tokens[i]), float(tokens[i + 1]); i += 2
        elif cmd in "ml":
            x, y = x + float(tokens[i]), y + float(tokens[i + 1]); i += 2
        elif cmd == "H":
            x = float(tokens[i]); i += 1
        elif cmd == "V":
            y = float(tokens[i]); i += 1
        else:
            curved = True
            i += 1
            continue
        pts.append((x, y))
    if pts and not curved:
        result.append(pts)
    return result


boxes, segments = [], []


def walk(node, m):
    m = compose(m, matrix(node.get("transform")))
    tag = node.tag.split("}")[-1]
    if tag == "path" and node.get("d"):
        for pts in subpaths(node.get("d")):
            page = [apply(m, x, y) for x, y in pts]
            page = [(px * sx, py * sy) for px, py in page]
            if len(page) == 2:
                segments.append(page)
                continue
            if len(page) < 4:
                continue
            xs = sorted({round(p[0], 3) for p in page})
            ys = sorted({round(p[1], 3) for p in page})
            # An axis-parallel rectangle: every corner on one of two x and two y values.
            if all(min(abs(p[0] - xs[0]), abs(p[0] - xs[-1])) < 0.01 and
                   min(abs(p[1] - ys[0]), abs(p[1] - ys[-1])) < 0.01 for p in page):
                boxes.append((xs[0], ys[0], xs[-1], ys[-1]))
    for child in node:
        walk(child, m)


walk(root, (1.0, 0.0, 0.0, 1.0, 0.0, 0.0))
errors = []
if mode == "card":
    want_w, want_h, want_dx, want_dy = (float(v) for v in sys.argv[4:8])
    # The card outline is the rectangle nearest to the expected size.
    cards = sorted(boxes, key=lambda b: abs((b[2] - b[0]) * PT - want_w) + abs((b[3] - b[1]) * PT - want_h))
    if not cards:
        sys.exit("FAIL: no rectangle found on the printed page")
    x0, y0, x1, y1 = cards[0]
    w, h = (x1 - x0) * PT, (y1 - y0) * PT
    # The printable area's top-left corner, from the page's top-left corner.
    corner_x, corner_y = left * PT, (height_pt - top) * PT
    dx, dy = x0 * PT - corner_x, y0 * PT - corner_y
    print(f"card outline {w:.3f} x {h:.3f} mm, {dx:.3f} mm right of and {dy:.3f} mm below the printable corner")
    if abs(w - want_w) > TOLERANCE or abs(h - want_h) > TOLERANCE:
        errors.append(f"the card is {w:.3f} x {h:.3f} mm, not {want_w:.2f} x {want_h:.2f} mm")
    if abs(dx - want_dx) > TOLERANCE or abs(dy - want_dy) > TOLERANCE:
        errors.append(f"the card is {dx:.3f}, {dy:.3f} mm from the printable corner, not {want_dx}, {want_dy} mm")
elif mode == "rulers":
    # The rulers are the longest horizontal and the longest vertical straight line on the page.
    across = [abs(b[0] - a[0]) * PT for a, b in segments if abs(b[1] - a[1]) < 0.01]
    down = [abs(b[1] - a[1]) * PT for a, b in segments if abs(b[0] - a[0]) < 0.01]
    if not across or not down:
        sys.exit("FAIL: no rulers found on the printed page")
    x_len, y_len = max(across), max(down)
    # The ticks: short lines across each ruler, 2 to 5 mm long.
    ticks_x = sum(1 for a, b in segments if abs(b[0] - a[0]) < 0.01 and 1.9 < abs(b[1] - a[1]) * PT < 5.1)
    ticks_y = sum(1 for a, b in segments if abs(b[1] - a[1]) < 0.01 and 1.9 < abs(b[0] - a[0]) * PT < 5.1)
    print(f"test sheet rulers {x_len:.3f} mm across and {y_len:.3f} mm down; {len(segments)} lines, "
          f"{len(boxes)} outline(s)")
    if abs(x_len - 150) > TOLERANCE or abs(y_len - 200) > TOLERANCE:
        errors.append(f"the rulers are {x_len:.3f} and {y_len:.3f} mm, not 150 and 200 mm")
    # One tick per millimetre on each ruler, both ends included.
    if (ticks_x, ticks_y) != (151, 201):
        errors.append(f"the rulers have {ticks_x} and {ticks_y} ticks, not 151 and 201")
    if not boxes:
        errors.append("the test sheet has no card outline")
    # Every line within the printable area of the page.
    xs = [p[0] for seg in segments for p in seg]
    ys = [p[1] for seg in segments for p in seg]
    inside = (min(xs) >= left - 0.01 and max(xs) <= right + 0.01 and
              min(ys) >= height_pt - top - 0.01 and max(ys) <= height_pt - bottom + 0.01)
    print(f"lines from {min(xs) * PT:.1f}, {min(ys) * PT:.1f} to {max(xs) * PT:.1f}, {max(ys) * PT:.1f} mm "
          f"on a {width_pt * PT:.1f} x {height_pt * PT:.1f} mm page")
    if not inside:
        errors.append("the test sheet reaches beyond the printable area")
else:
    sys.exit(f"FAIL: unknown measure {mode}")
if errors:
    sys.exit("FAIL: " + "; ".join(errors))
