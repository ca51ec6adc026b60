#!/usr/bin/env python3
"""Make the bundled Tessarin example distance.txt from 20 world cities.

Computes the great-circle distance between every pair of the cities below
with the haversine formula (mean Earth radius 6371.0 km) and writes it in
hundreds of kilometres, to one decimal (London-Paris 344 km is 3.4), so that
every value fits the table's three-character cells:

    first line   N and a title
    row line i   distances from city i to cities i+1..N, separated by blanks

It also writes, next to this script:

    cities.csv          item,name,latitude,longitude: which item is which city
    cities-matrix.csv   the same distances as a square matrix with the city
                        names along the top and down the left, as R's
                        write.csv(as.matrix(d)) writes it
    cities.phy          the same distances as a PHYLIP distance file (square,
                        relaxed: a name of its own length, blanks written as
                        underscores as PHYLIP names have none)

All three distance files hold the same values, written with the same
digits, so Tessarin reads the same table from each.

Run:
    python3 examples/cities.py              # writes examples/distance.txt
    python3 examples/cities.py out.txt      # writes out.txt instead

Standard library only. Output files use LF line endings.
"""

import csv
import math
import os
import sys

EARTH_RADIUS_KM = 6371.0

# (name, latitude, longitude) in decimal degrees; north and east positive.
CITIES = [
    ("London", 51.5074, -0.1278),
    ("Paris", 48.8566, 2.3522),
    ("Berlin", 52.5200, 13.4050),
    ("Moscow", 55.7558, 37.6173),
    ("Cairo", 30.0444, 31.2357),
    ("Nairobi", -1.2921, 36.8219),
    ("Cape Town", -33.9249, 18.4241),
    ("Dubai", 25.2048, 55.2708),
    ("Mumbai", 19.0760, 72.8777),
    ("Beijing", 39.9042, 116.4074),
    ("Singapore", 1.3521, 103.8198),
    ("Tokyo", 35.6762, 139.6503),
    ("Sydney", -33.8688, 151.2093),
    ("Auckland", -36.8485, 174.7633),
    ("Honolulu", 21.3069, -157.8583),
    ("Los Angeles", 34.0522, -118.2437),
    ("Mexico City", 19.4326, -99.1332),
    ("New York", 40.7128, -74.0060),
    ("Sao Paulo", -23.5505, -46.6333),
    ("Buenos Aires", -34.6037, -58.3816),
]

TITLE = "Great-circle distances in hundreds of km between 20 world cities"


def haversine_km(lat1, lon1, lat2, lon2):
    """Great-circle distance in km between two points given in degrees."""
    p1, p2 = math.radians(lat1), math.radians(lat2)
    dp = p2 - p1
    dl = math.radians(lon2 - lon1)
    a = math.sin(dp / 2) ** 2 + math.cos(p1) * math.cos(p2) * math.sin(dl / 2) ** 2
    return 2 * EARTH_RADIUS_KM * math.asin(min(1.0, math.sqrt(a)))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "distance.txt")
    n = len(CITIES)

    # Each distance as text once, so that every file writes the same digits.
    text = [[f"{haversine_km(a[1], a[2], b[1], b[2]) / 100.0:.1f}" if a is not b else "0"
             for b in CITIES] for a in CITIES]

    with open(out_path, "w", newline="\n", encoding="ascii") as f:
        f.write(f"{n} {TITLE}\n")
        for i in range(n - 1):
            f.write(" ".join(text[i][i + 1:]) + "\n")

    names = [name for name, _, _ in CITIES]
    with open(os.path.join(here, "cities-matrix.csv"), "w", newline="", encoding="ascii") as f:
        w = csv.writer(f, lineterminator="\n", quoting=csv.QUOTE_NONNUMERIC)
        w.writerow([""] + names)
        for name, row in zip(names, text):
            f.write(f'"{name}",' + ",".join(row) + "\n")

    with open(os.path.join(here, "cities.phy"), "w", newline="\n", encoding="ascii") as f:
        f.write(f"{n:5d}\n")
        for name, row in zip(names, text):
            f.write(f"{name.replace(' ', '_'):<12} " + " ".join(f"{d:>5}" for d in row) + "\n")

    with open(os.path.join(here, "cities.csv"), "w", newline="", encoding="ascii") as f:
        w = csv.writer(f, lineterminator="\n")
        w.writerow(["item", "name", "latitude", "longitude"])
        for item, (name, lat, lon) in enumerate(CITIES, start=1):
            w.writerow([item, name, f"{lat:.4f}", f"{lon:.4f}"])

    print(f"wrote {out_path}, cities.csv, cities-matrix.csv and cities.phy")


if __name__ == "__main__":
    main()
