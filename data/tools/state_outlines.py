#!/usr/bin/env python3
"""Writes data/state_outlines.txt, the state outlines the station maps draw,
from the Census Bureau's cartographic state boundaries (2017, 1:10 000 000)
as redistributed in us-atlas 3.0.1 (tools/input/us-atlas-3.0.1-states-10m.json,
a TopoJSON file; see SOURCES.md).

The outlines are decoded (quantized, delta-encoded arcs), thinned with the
Douglas-Peucker algorithm (Douglas, D.H., Peucker, T.K. (1973), "Algorithms
for the reduction of the number of points required to represent a digitized
line or its caricature", The Canadian Cartographer 10(2):112-122) to a
tolerance of TOLERANCE degrees, and written one ring a line. Alaska's
Aleutian islands east of the 180th meridian are written as longitudes below
-180 so that the state stays one piece on the map.

Usage: python3 data/tools/state_outlines.py   (the output is the same byte
for byte on every run; Python 3 standard library only)."""
import json
import os

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, 'input', 'us-atlas-3.0.1-states-10m.json')
OUTPUT = os.path.join(HERE, '..', 'state_outlines.txt')
TOLERANCE = 0.02   # degrees, about 2 km: about the source's own 1:10 000 000 generalisation

# FIPS state codes (FIPS PUB 5-2) and the two-letter postal codes the
# county keys of "Climate.DB" end with; the 50 states, DC and Puerto Rico.
POSTAL = {
    '01': 'AL', '02': 'AK', '04': 'AZ', '05': 'AR', '06': 'CA', '08': 'CO', '09': 'CT', '10': 'DE',
    '11': 'DC', '12': 'FL', '13': 'GA', '15': 'HI', '16': 'ID', '17': 'IL', '18': 'IN', '19': 'IA',
    '20': 'KS', '21': 'KY', '22': 'LA', '23': 'ME', '24': 'MD', '25': 'MA', '26': 'MI', '27': 'MN',
    '28': 'MS', '29': 'MO', '30': 'MT', '31': 'NE', '32': 'NV', '33': 'NH', '34': 'NJ', '35': 'NM',
    '36': 'NY', '37': 'NC', '38': 'ND', '39': 'OH', '40': 'OK', '41': 'OR', '42': 'PA', '44': 'RI',
    '45': 'SC', '46': 'SD', '47': 'TN', '48': 'TX', '49': 'UT', '50': 'VT', '51': 'VA', '53': 'WA',
    '54': 'WV', '55': 'WI', '56': 'WY', '72': 'PR',
}


def decode_arcs(topo):
    (sx, sy), (tx, ty) = topo['transform']['scale'], topo['transform']['translate']
    arcs = []
    for arc in topo['arcs']:
        x = y = 0
        pts = []
        for dx, dy in arc:
            x += dx
            y += dy
            pts.append((x * sx + tx, y * sy + ty))
        arcs.append(pts)
    return arcs


def ring_points(ring, arcs):
    pts = []
    for a in ring:
        seg = arcs[a] if a >= 0 else list(reversed(arcs[~a]))
        pts.extend(seg if not pts else seg[1:])
    return pts


def perpendicular(p, a, b):
    (x, y), (x1, y1), (x2, y2) = p, a, b
    dx, dy = x2 - x1, y2 - y1
    if dx == 0 and dy == 0:
        return ((x - x1) ** 2 + (y - y1) ** 2) ** 0.5
    t = max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
    return ((x - x1 - t * dx) ** 2 + (y - y1 - t * dy) ** 2) ** 0.5


def douglas_peucker(pts, tol):
    keep = [False] * len(pts)
    keep[0] = keep[-1] = True
    stack = [(0, len(pts) - 1)]
    while stack:
        i, j = stack.pop()
        best, at = -1.0, -1
        for k in range(i + 1, j):
            d = perpendicular(pts[k], pts[i], pts[j])
            if d > best:
                best, at = d, k
        if at >= 0 and best > tol:
            keep[at] = True
            stack += [(i, at), (at, j)]
    return [p for p, k in zip(pts, keep) if k]


def simplify_ring(pts, tol):
    # A closed ring is split at its point farthest from the first, so that
    # both halves have distinct ends.
    far = max(range(len(pts)), key=lambda k: (pts[k][0] - pts[0][0]) ** 2 + (pts[k][1] - pts[0][1]) ** 2)
    if far == 0:
        return []
    out = douglas_peucker(pts[:far + 1], tol)[:-1] + douglas_peucker(pts[far:], tol)
    return out if len(out) >= 4 else []


def main():
    with open(SOURCE, encoding='utf-8') as f:
        topo = json.load(f)
    arcs = decode_arcs(topo)
    states = []
    for g in topo['objects']['states']['geometries']:
        code = POSTAL.get(g['id'])
        if not code:
            continue
        polys = g['arcs'] if g['type'] == 'MultiPolygon' else [g['arcs']]
        rings = []
        for poly in polys:
            for ring in poly:
                pts = ring_points(ring, arcs)
                if code == 'AK':
                    pts = [(x - 360.0 if x > 0 else x, y) for x, y in pts]
                pts = simplify_ring(pts, TOLERANCE)
                if pts:
                    rings.append(pts)
        states.append((code, g['properties']['name'], rings))
    states.sort()
    lines = [
        '# US state outlines: US Census Bureau cartographic state boundaries, 2017 edition,',
        '# 1:10 000 000 (public domain), as redistributed in us-atlas 3.0.1; thinned by',
        '# data/tools/state_outlines.py (Douglas-Peucker, %g degrees). See data/SOURCES.md.' % TOLERANCE,
        '# "state CODE Name" begins a state; each following "ring" line is one closed',
        '# ring (islands and holes alike; inside = odd number of rings around a point)',
        '# as longitude latitude pairs in decimal degrees, east and north positive.',
    ]
    for code, name, rings in states:
        lines.append('state %s %s' % (code, name))
        for r in rings:
            lines.append('ring ' + ' '.join('%.3f %.3f' % (x, y) for x, y in r))
    with open(OUTPUT, 'w', encoding='utf-8', newline='\n') as f:
        f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
