#!/usr/bin/env python3
"""Writes a measurement table for the benchmarks: a header row and ROWS rows of
10 columns with decimal commas (weight in kg, height in m, then eight
measurements), about 74 MB for a million rows."""
import random
import sys

def main():
    path = sys.argv[1]
    rows = int(sys.argv[2]) if len(sys.argv) > 2 else 1_000_000
    rng = random.Random(2026)
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("Hmotnost;Výška;" + ";".join(f"Míra {i}" for i in range(1, 9)) + "\n")
        lines = []
        for _ in range(rows):
            fields = [f"{rng.uniform(40, 120):.1f}", f"{rng.uniform(1.45, 2.05):.3f}"]
            fields += [f"{rng.uniform(10, 199):.3f}" for _ in range(8)]
            lines.append(";".join(fields).replace(".", ","))
            if len(lines) == 10000:
                f.write("\n".join(lines) + "\n")
                lines = []
        if lines:
            f.write("\n".join(lines) + "\n")

if __name__ == "__main__":
    main()
