#!/usr/bin/env python3
"""Make the example planets.txt: how alike the eight planets are.

Six facts per planet from NASA's Planetary Fact Sheet
(https://nssdc.gsfc.nasa.gov/planetary/factsheet/): mass (10^24 kg),
diameter (km), mean density (kg/m^3), surface gravity (m/s^2), distance
from the Sun (10^6 km) and mean temperature (C). Mass, diameter and
distance span orders of magnitude, so their base-10 logarithms are used.
Each of the six columns is standardised (mean 0, standard deviation 1 over
the eight planets) and the distance between two planets is the Euclidean
distance of their six standardised values, written to two decimals.

The file is a lower triangle as R prints a dist object: a header of the
names of planets 1..7, then one row for each planet from the second on,
its name and its distances to the planets before it:

             Mercury   Venus   Earth ...
    Venus       1.96
    Earth       1.79    2.01

Run:
    python3 examples/planets.py             # writes examples/planets.txt

Standard library only. The output uses LF line endings.
"""

import math
import os

# name, mass, diameter, density, gravity, distance from the Sun, temperature
PLANETS = [
    ("Mercury", 0.330, 4879, 5429, 3.7, 57.9, 167),
    ("Venus", 4.87, 12104, 5243, 8.9, 108.2, 464),
    ("Earth", 5.97, 12756, 5514, 9.8, 149.6, 15),
    ("Mars", 0.642, 6792, 3934, 3.7, 228.0, -65),
    ("Jupiter", 1898, 142984, 1326, 23.1, 778.5, -110),
    ("Saturn", 568, 120536, 687, 9.0, 1432.0, -140),
    ("Uranus", 86.8, 51118, 1270, 8.7, 2867.0, -195),
    ("Neptune", 102, 49528, 1638, 11.0, 4515.0, -200),
]
LOGARITHMIC = {0, 1, 4}  # mass, diameter, distance (columns after the name)


def standardised_columns():
    rows = [[math.log10(v) if k in LOGARITHMIC else float(v) for k, v in enumerate(p[1:])]
            for p in PLANETS]
    columns = list(zip(*rows))
    result = []
    for column in columns:
        mean = sum(column) / len(column)
        sd = math.sqrt(sum((v - mean) ** 2 for v in column) / (len(column) - 1))
        result.append([(v - mean) / sd for v in column])
    return [list(r) for r in zip(*result)]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    z = standardised_columns()
    names = [p[0] for p in PLANETS]
    width = max(len(n) for n in names) + 2
    with open(os.path.join(here, "planets.txt"), "w", newline="\n", encoding="ascii") as f:
        f.write(" " * width + " ".join(f"{n:>7}" for n in names[:-1]) + "\n")
        for i in range(1, len(names)):
            cells = [math.dist(z[i], z[j]) for j in range(i)]
            f.write(f"{names[i]:<{width}}" + " ".join(f"{d:7.2f}" for d in cells) + "\n")
    print(f"wrote {os.path.join(here, 'planets.txt')}")


if __name__ == "__main__":
    main()
