#!/usr/bin/env python3
"""Checks a trvx_view screenshot of the Blender test scene (fixtures/blender_models.py) by colour:
the sign's red half left of its green half (seen from the front, not mirrored), the yellow ball on
the right, the magenta cone on the left and above the base, the half-transparent blue glass in front
of the sign's lower half (seen blended over the base), and the white base lit from the viewer's side.
Usage: shot_check.py <screenshot.ppm>; prints what it found, exits 1 on a failed check."""
import sys


def read_ppm(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:]


def main():
    width, height, px = read_ppm(sys.argv[1])
    kinds = {
        "red": lambda r, g, b: r > 120 and g < r / 3 and b < r / 3,
        "green": lambda r, g, b: g > 100 and r < g / 2 and b < g / 2,
        "yellow": lambda r, g, b: r > 120 and g > 100 and b < min(r, g) / 3,
        "magenta": lambda r, g, b: r > 100 and b > 100 and g < min(r, b) / 2,
        "glass": lambda r, g, b: r > 110 and b > r + 40 and b > g + 30,  # the blue glass over the white base
        "white": lambda r, g, b: min(r, g, b) > 150,
    }
    found = {k: [0, 0.0, 0.0] for k in kinds}
    for y in range(height):
        row = px[y * width * 3:(y + 1) * width * 3]
        for x in range(width):
            r, g, b = row[3 * x], row[3 * x + 1], row[3 * x + 2]
            for k, test in kinds.items():
                if test(r, g, b):
                    f = found[k]
                    f[0] += 1
                    f[1] += x
                    f[2] += y
    centre = {}
    for k, (n, sx, sy) in found.items():
        centre[k] = (sx / n, sy / n) if n else None
        print(f"{k}: {n} pixels" + (f" around ({sx / n:.0f}, {sy / n:.0f})" if n else ""))
    failures = []
    minimum = width * height // 2000
    for k in kinds:
        if found[k][0] < minimum:
            failures.append(f"too little {k} ({found[k][0]} pixels)")
    if not failures:
        if centre["red"][0] >= centre["green"][0]:
            failures.append("the sign's red half is not left of its green half: the model is turned or mirrored")
        if centre["yellow"][0] <= centre["green"][0]:
            failures.append("the yellow ball (+X) is not on the right")
        if centre["magenta"][0] >= centre["red"][0]:
            failures.append("the magenta cone (-X) is not on the left")
        if centre["magenta"][1] >= centre["white"][1]:
            failures.append("the cone is not above the base")
        if centre["glass"][1] <= centre["red"][1]:
            failures.append("the glass is not in front of the lower part of the sign")
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
