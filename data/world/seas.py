"""The 50 seas: polygons, and per-sea area, depth, temperature and ice.

Outputs: seas.geojson (one feature per sea, polygons of our own drawing that
together cover the whole globe but the Caspian Sea; land inside them is of
no account) and tables/seas.csv.

The world ocean is every grid cell of ETOPO5 (5-minute grid, Debian
ferret-datasets) that lies in no country polygon of npm world-atlas 2.0.2
and not in the Caspian Sea (a salt lake of its shore countries, see
geometry.py). A cell belongs to the first sea in SEAS whose drawn polygon
holds it; the ocean basins at the end take what is left. Area: sum of the
cells' spherical areas. Depth: ETOPO5 relief below sea level (cells whose
relief is not below 0 count with depth 0). Shelf: cells shallower than 200 m.
Zonal rain and OH: the rules of common.py applied cell by cell.
Temperature: COADS climatology (ferret-datasets), annual mean sea surface
temperature. Ice: the fraction of months whose COADS sea surface
temperature is at or below -1.0 degC, or at most 1 degC under air of -5 degC
or colder, or missing poleward of 55 degrees.
"""
import json
import math

import netCDF4
import numpy as np
from PIL import Image, ImageDraw

from common import (EARTH_RADIUS_KM, FERRET, HERE, ZONAL_OCEAN_RAIN, fmt, interp, node_json,
                    oh_concentration, topology_features, write_csv)
from shapely.geometry import Polygon, mapping
from shapely.ops import unary_union

# name, abbreviation, ocean, polygons (lists of (lon, lat)); first match wins.
SEAS = [
    ("Baltic Sea", "BAL", "Atlantic", [[
        (9.6, 53.3), (31.0, 53.3), (31.0, 61.0), (27.0, 66.5), (20.0, 67.0), (16.5, 62.0),
        (14.0, 58.0),
        (12.9, 56.3), (12.6, 56.05), (10.6, 55.95), (9.55, 55.6), (9.35, 54.8), (9.6, 54.6)]]),
    ("Black Sea", "BLK", "Atlantic", [[
        (27.0, 41.0), (29.15, 41.22), (30.0, 40.9), (41.5, 40.5), (42.5, 45.0), (39.5, 47.7),
        (35.0, 47.7), (30.0, 47.0), (27.0, 44.0)]]),
    ("Aegean Sea", "AEG", "Atlantic", [[
        (23.2, 36.45), (23.5, 35.3), (26.3, 35.1), (27.2, 35.4), (28.2, 36.1), (28.9, 36.7),
        (30.0, 38.0), (30.5, 40.7), (29.15, 41.22), (26.5, 42.0), (22.5, 41.3), (22.0, 38.5),
        (22.8, 37.4)]]),
    ("Adriatic Sea", "ADR", "Atlantic", [[
        (18.45, 40.1), (16.6, 40.8), (14.8, 41.7), (13.0, 42.8), (11.8, 44.2), (11.8, 45.5),
        (13.8, 46.2), (15.5, 45.6), (19.5, 42.5), (20.5, 41.0), (20.5, 40.3), (19.45, 40.05)]]),
    ("Western Mediterranean Sea", "WME", "Atlantic", [[
        (-5.6, 35.7), (-5.6, 36.1), (-5.0, 37.2), (0.0, 41.0), (3.0, 44.0), (8.0, 44.8),
        (10.5, 44.3), (12.5, 43.0), (14.5, 41.5), (16.0, 40.0), (16.2, 39.2), (15.65, 38.25),
        (14.5, 37.9), (12.45, 37.8), (11.05, 37.08), (10.3, 36.2), (9.0, 35.0), (-1.0, 34.5)]]),
    # Stops short of the Gulfs of Aqaba and Suez, which belong to the Red Sea.
    ("Eastern Mediterranean Sea", "EME", "Atlantic", [[
        (11.05, 37.08), (12.45, 37.8), (14.5, 37.9), (15.65, 38.25), (16.2, 39.2), (16.5, 40.6),
        (17.2, 40.7), (18.0, 40.3), (18.4, 39.8), (19.45, 40.05), (21.0, 40.5), (30.0, 40.5),
        (37.0, 37.8), (37.0, 33.0),
        (35.6, 30.3), (32.5, 30.4), (25.0, 29.8), (20.0, 29.3), (15.0, 30.5), (10.0, 32.5),
        (9.8, 34.0), (10.3, 36.2)]]),
    ("North Sea", "NSE", "Atlantic", [[
        (1.4, 51.2), (-1.0, 51.5), (-3.5, 55.5), (-4.6, 57.7), (-3.4, 58.6), (-3.0, 59.3),
        (-1.5, 60.5), (-1.0, 61.0), (5.0, 62.0), (8.0, 62.0), (12.5, 59.5), (13.2, 56.3),
        (12.6, 56.05), (10.6, 55.95), (9.55, 55.6), (9.35, 54.8), (9.6, 54.6), (9.6, 53.3),
        (7.0, 51.5), (3.5, 50.5), (2.0, 51.0)]]),
    ("Celtic Sea", "CEL", "Atlantic", [[
        (1.4, 51.2), (2.0, 51.0), (1.5, 50.0), (0.0, 49.2), (-1.5, 48.4), (-4.8, 48.2),
        (-5.3, 48.4), (-10.5, 48.5), (-10.5, 51.5), (-6.0, 55.4), (-5.0, 55.5), (-3.0, 55.0),
        (-2.0, 53.0), (-1.0, 51.5)]]),
    ("Bay of Biscay", "BIS", "Atlantic", [[
        (-4.4, 47.8), (-1.0, 47.5), (0.5, 45.0), (-1.0, 43.0), (-7.9, 43.2), (-7.9, 43.8)]]),
    ("Norwegian Sea", "NWS", "Atlantic", [[
        (-1.0, 61.0), (5.0, 62.0), (12.0, 65.0), (16.0, 69.0), (25.8, 71.3), (19.0, 74.5),
        (16.5, 76.5), (-8.0, 71.0), (-13.5, 65.0), (-7.0, 62.0)]]),
    ("Greenland Sea", "GRS", "Atlantic", [[
        (-13.5, 65.0), (-8.0, 71.0), (16.5, 76.5), (11.0, 79.9), (-17.0, 81.5), (-45.0, 78.0),
        (-45.0, 70.0), (-29.5, 68.2), (-22.4, 66.4), (-16.0, 66.5)]]),
    ("Labrador Sea", "LAB", "Atlantic", [[
        (-43.5, 59.7), (-43.5, 63.0), (-53.5, 66.6), (-61.5, 66.6), (-64.8, 61.6),
        (-64.6, 60.3), (-57.0, 53.0), (-55.5, 51.6)]]),
    ("Hudson Bay", "HUD", "Atlantic", [[
        (-64.8, 61.6), (-64.4, 60.3), (-69.0, 57.5), (-78.0, 50.5), (-83.0, 50.5),
        (-95.0, 56.0), (-97.0, 60.0), (-97.0, 64.5), (-88.0, 67.0), (-86.0, 70.0),
        (-80.0, 70.5), (-72.0, 67.5), (-66.0, 63.0)]]),
    ("Baffin Bay", "BAF", "Atlantic", [[
        (-53.5, 66.6), (-61.5, 66.6), (-72.0, 70.0), (-80.0, 73.4), (-80.0, 78.2),
        (-68.0, 78.4), (-45.0, 78.0), (-45.0, 67.0)]]),
    ("Gulf of Mexico", "GMX", "Atlantic", [[
        (-80.4, 25.3), (-81.8, 24.5), (-83.0, 23.0), (-85.0, 21.9), (-87.0, 21.5),
        (-90.0, 17.5), (-94.5, 17.3), (-98.0, 20.0), (-98.0, 29.8), (-90.0, 31.0),
        (-84.0, 30.5), (-81.5, 28.0), (-80.6, 25.5)]]),
    ("Caribbean Sea", "CAR", "Atlantic", [[
        (-87.0, 21.5), (-85.0, 21.9), (-84.0, 22.2), (-74.2, 20.2), (-73.5, 19.7),
        (-72.0, 19.5), (-68.4, 18.5), (-67.2, 18.1), (-65.3, 18.3), (-64.7, 18.4),
        (-63.0, 18.2), (-61.8, 17.0), (-61.4, 16.0), (-61.2, 15.4), (-61.0, 14.5),
        (-61.0, 13.8), (-61.2, 13.2), (-61.6, 12.2), (-61.0, 10.6), (-62.0, 10.0),
        (-70.0, 9.0), (-76.3, 7.6), (-77.2, 8.3), (-78.2, 9.15), (-79.7, 9.2), (-83.6, 10.2),
        (-85.5, 12.5),
        (-88.0, 14.5), (-89.3, 16.5), (-89.0, 18.0)]]),
    ("Gulf of Guinea", "GOG", "Atlantic", [[
        (-7.7, 4.35), (-7.5, 7.0), (10.0, 7.0), (11.0, 2.0), (9.8, -1.0), (8.7, -0.7)]]),
    ("Barents Sea", "BAR", "Arctic", [[
        (25.8, 71.3), (19.0, 74.5), (16.5, 76.5), (20.0, 78.5), (28.0, 80.3), (45.0, 81.0),
        (65.0, 81.0), (68.7, 77.0), (61.0, 75.0), (56.0, 72.5), (59.0, 70.0), (58.0, 68.5),
        (45.0, 63.5), (34.0, 63.5), (29.0, 69.0), (27.5, 69.5)]]),
    ("Kara Sea", "KAR", "Arctic", [[
        (68.7, 77.0), (65.0, 81.0), (95.7, 81.3), (100.0, 79.5), (104.0, 77.7),
        (101.0, 75.5), (100.0, 72.5), (80.0, 66.0), (66.0, 66.5), (59.0, 70.0), (56.0, 72.5),
        (61.0, 75.0)]]),
    ("Laptev Sea", "LAP", "Arctic", [[
        (104.0, 77.7), (95.7, 81.3), (139.0, 79.5), (141.0, 75.5), (143.0, 73.3),
        (142.0, 71.0), (110.0, 71.0), (100.0, 72.5), (101.0, 75.5)]]),
    ("Bering Sea", "BER", "Pacific", [
        [(-180.0, 51.5), (-180.0, 66.0), (-168.0, 65.7), (-165.0, 65.5), (-160.0, 64.5),
         (-157.0, 59.5), (-161.0, 55.8), (-164.5, 54.4), (-170.0, 52.5)],
        [(180.0, 51.5), (172.5, 52.5), (166.0, 54.5), (162.5, 56.0), (163.5, 60.0),
         (170.0, 61.0), (175.0, 66.0), (180.0, 66.0)]]),
    ("Chukchi Sea", "CHU", "Arctic", [
        [(-180.0, 65.5), (-180.0, 76.0), (-156.5, 75.0), (-156.5, 71.4), (-159.0, 66.0),
         (-168.0, 65.6)],
        [(176.0, 66.0), (176.0, 70.0), (180.0, 71.5), (180.0, 65.5)]]),
    ("East Siberian Sea", "ESS", "Arctic", [[
        (143.0, 73.3), (141.0, 75.5), (139.0, 79.5), (180.0, 78.0), (180.0, 71.5),
        (176.0, 70.0), (176.0, 66.0), (150.0, 66.0), (142.0, 71.0)]]),
    ("Beaufort Sea", "BEA", "Arctic", [[
        (-156.5, 71.4), (-156.5, 76.0), (-122.0, 77.0), (-123.0, 74.5), (-124.5, 71.5),
        (-128.0, 69.0), (-141.0, 68.5), (-156.0, 70.5)]]),
    ("Gulf of Alaska", "GOA", "Pacific", [[
        (-164.5, 54.4), (-161.0, 55.8), (-160.0, 59.0), (-150.0, 62.5), (-140.0, 62.0),
        (-130.0, 59.0), (-130.0, 54.6), (-135.0, 53.0), (-150.0, 53.0)]]),
    ("Sea of Okhotsk", "OKH", "Pacific", [[
        (156.65, 50.9), (158.0, 55.0), (162.0, 60.0), (163.0, 62.5), (150.0, 62.5),
        (140.0, 60.0), (135.0, 54.0), (140.0, 52.5), (141.6, 52.2), (142.5, 51.5),
        (142.5, 46.5), (142.0, 45.7), (141.5, 45.3), (144.0, 43.5), (145.5, 43.2),
        (147.0, 44.0), (150.0, 46.0), (153.0, 47.5), (155.0, 49.5)]]),
    ("Sea of Japan", "JAP", "Pacific", [[
        (141.6, 52.2), (140.5, 52.5), (138.0, 47.0), (131.5, 43.5), (130.5, 42.4),
        (127.0, 39.5), (127.9, 37.5), (128.5, 36.0), (129.0, 35.1), (129.3, 34.7),
        (130.9, 33.95), (132.5, 34.6), (136.0, 35.6), (139.0, 37.5), (140.3, 40.5),
        (140.5, 41.5), (141.0, 42.3), (142.0, 44.5), (141.8, 45.5), (142.0, 45.7),
        (142.5, 46.5), (142.5, 51.5)]]),
    ("Yellow Sea", "YEL", "Pacific", [[
        (121.9, 31.7), (126.3, 33.3), (126.5, 34.4), (127.3, 37.0), (126.0, 39.5),
        (124.0, 41.5), (121.0, 41.5), (117.0, 39.5), (117.5, 37.5), (119.0, 35.0),
        (120.0, 33.0)]]),
    ("East China Sea", "ECS", "Pacific", [[
        (121.9, 31.7), (126.3, 33.3), (126.9, 34.6), (128.5, 35.0), (129.0, 35.1),
        (129.3, 34.7), (130.9, 33.95), (131.5, 33.0), (131.0, 31.2), (129.5, 29.0),
        (128.0, 26.5), (125.0, 24.5), (122.9, 24.4), (121.9, 25.0), (121.0, 25.2),
        (119.7, 25.6), (118.5, 26.5), (120.5, 30.3)]]),
    ("South China Sea", "SCS", "Pacific", [[
        (119.7, 25.6), (121.0, 25.2), (121.3, 24.5), (120.85, 21.9), (121.0, 20.5),
        (120.6, 18.5), (121.5, 16.0), (120.5, 14.0), (120.3, 13.3), (119.5, 11.0),
        (117.2, 8.3), (117.0, 7.0), (116.0, 5.5), (113.0, 2.0), (109.5, 1.0), (110.0, -3.0),
        (106.0, -3.2), (104.0, -1.0), (103.5, 1.3), (103.0, 3.0), (101.0, 5.0), (100.4, 6.3),
        (99.3, 9.0), (98.9, 10.5), (99.5, 13.5), (101.0, 14.0), (104.0, 15.0), (106.0, 20.0),
        (105.5, 21.0), (108.0, 22.5), (110.5, 21.8), (113.0, 23.0), (117.0, 24.5)]]),
    ("Philippine Sea", "PHI", "Pacific", [[
        (121.9, 25.0), (122.9, 24.4), (125.0, 24.5), (128.0, 26.5), (129.5, 29.0),
        (131.0, 31.2), (132.0, 33.5), (135.0, 34.0), (139.8, 35.0), (140.5, 34.5),
        (142.0, 27.0), (145.5, 20.0), (145.0, 13.3), (138.0, 9.5), (134.5, 7.3),
        (128.0, 5.0), (125.5, 7.5), (125.0, 10.5), (124.5, 12.5), (123.0, 14.0),
        (121.5, 16.0), (121.5, 18.5), (121.0, 20.5), (120.85, 21.9), (121.3, 24.5)]]),
    ("Celebes Sea", "CLB", "Pacific", [[
        (117.2, 8.3), (119.5, 11.0), (120.3, 13.3), (121.5, 13.8), (124.0, 13.0),
        (125.0, 10.5), (125.5, 7.5), (125.6, 5.5), (125.5, 3.5), (125.0, 1.6),
        (123.0, 0.8), (120.5, 0.5), (118.9, 1.0), (117.5, 1.0), (117.0, 5.5), (117.0, 7.0)]]),
    ("Banda Sea", "BAN", "Pacific", [[
        (118.9, 1.0), (120.5, 0.5), (123.0, 0.8), (125.0, 1.6), (125.5, 3.5), (128.0, 2.5),
        (129.5, 2.0), (129.5, 0.0), (131.0, -1.0), (133.0, -2.5), (132.5, -4.0),
        (133.0, -5.5), (131.5, -7.5), (127.0, -8.5), (125.5, -9.0), (124.0, -9.7),
        (122.0, -10.5), (120.0, -10.2), (118.5, -9.0), (115.7, -8.7), (116.2, -3.5),
        (116.5, 0.0), (117.5, 1.0)]]),
    ("Java Sea", "JAV", "Pacific", [[
        (106.0, -3.2), (110.0, -3.0), (110.0, -1.5), (112.0, -2.0), (116.2, -3.5),
        (115.7, -8.7), (114.0, -8.0), (110.0, -7.5), (106.0, -6.5), (105.8, -5.9),
        (105.0, -4.5)]]),
    ("Arafura Sea", "ARA", "Pacific", [[
        (131.5, -7.5), (133.0, -5.5), (132.5, -4.0), (136.0, -4.5), (141.0, -7.0),
        (142.5, -9.2), (142.5, -10.8), (144.0, -14.0), (140.0, -18.5), (136.0, -16.0),
        (135.0, -14.0), (132.0, -13.0), (129.0, -15.0), (125.5, -15.5), (122.8, -11.5),
        (123.2, -10.6), (125.5, -9.0), (127.0, -8.5)]]),
    ("Coral Sea", "COR", "Pacific", [[
        (142.5, -10.8), (142.5, -9.2), (143.5, -8.2), (146.0, -7.0), (150.5, -10.3),
        (154.0, -11.4), (162.0, -10.8), (166.5, -13.0), (167.0, -20.5), (167.5, -22.7),
        (163.0, -30.0), (153.6, -28.2), (150.0, -28.0), (144.0, -14.0)]]),
    ("Tasman Sea", "TAS", "Pacific", [[
        (153.6, -28.2), (163.0, -30.0), (172.5, -34.4), (175.0, -38.0), (172.0, -42.0),
        (167.5, -47.3), (147.0, -43.6), (146.0, -42.0), (144.6, -40.7), (144.0, -39.5),
        (143.5, -38.7), (146.0, -37.0), (150.0, -30.0)]]),
    ("Red Sea", "RED", "Indian", [[
        (43.0, 12.4), (43.6, 12.8), (45.0, 16.0), (41.0, 22.0), (35.5, 29.7), (34.5, 30.0),
        (32.3, 30.2), (31.5, 28.0), (35.0, 22.0), (38.0, 16.0), (41.5, 13.0)]]),
    # The Persian Gulf ends at the Strait of Hormuz (Musandam to the Iranian
    # shore); the Gulf of Oman beyond it belongs to the Arabian Sea.
    ("Persian Gulf", "PER", "Indian", [[
        (47.5, 30.5), (50.0, 31.0), (54.0, 29.0), (56.2, 27.6), (56.55, 27.0), (56.4, 26.3),
        (56.0, 24.0), (55.0, 23.5), (51.0, 24.0), (49.0, 25.5), (47.0, 29.0)]]),
    ("Arabian Sea", "ARB", "Indian", [[
        (43.6, 12.8), (43.0, 12.4), (42.0, 11.3), (44.0, 9.5), (44.5, 4.0), (44.8, 2.0),
        (73.0, -0.7), (80.0, 5.9), (80.5, 7.5), (79.5, 9.3), (78.0, 10.0), (75.0, 15.0),
        (74.0, 21.0), (72.5, 24.0), (68.0, 25.5), (62.0, 26.0), (61.6, 26.0), (57.5, 27.5),
        (56.2, 27.6), (56.55, 27.0), (56.4, 26.3), (56.0, 24.0), (58.5, 22.0), (58.0, 21.0), (52.0, 17.0),
        (45.0, 13.5)]]),
    ("Andaman Sea", "AND", "Indian", [[
        (94.0, 6.5), (92.5, 10.5), (93.0, 14.0), (94.2, 16.0), (96.0, 17.5), (97.8, 17.2),
        (98.5, 16.0), (99.0, 10.5), (100.0, 6.5), (101.5, 3.0), (103.5, 1.3), (103.3, 0.8),
        (101.0, 1.0),
        (97.0, 4.0), (95.3, 5.6)]]),
    ("Bay of Bengal", "BEN", "Indian", [[
        (80.0, 5.9), (95.5, 5.5), (94.0, 10.0), (93.0, 14.0), (95.0, 17.0), (93.5, 22.5),
        (92.0, 23.8), (90.0, 23.8), (87.0, 22.5), (86.0, 21.0), (80.5, 16.0), (79.5, 12.0),
        (78.8, 10.3), (79.3, 9.2), (80.5, 7.5)]]),
    ("Mozambique Channel", "MOZ", "Indian", [[
        (40.6, -10.7), (43.3, -11.4), (49.3, -11.95), (47.0, -17.0), (45.1, -25.6),
        (32.9, -26.9), (33.0, -20.0), (39.0, -11.0)]]),
    # The basins take whatever the marginal seas leave.
    ("Southern Ocean", "SOU", "Southern", [[(-180, -90), (180, -90), (180, -60), (-180, -60)]]),
    ("Arctic Ocean", "ARC", "Arctic", [[(-180, 66), (180, 66), (180, 90), (-180, 90)]]),
]

# Boundaries between the three big oceans from 60 S to 66 N, drawn over land
# where they cross it: Atlantic-Pacific from Cape Horn along the Andes and
# the American isthmus and cordillera; Atlantic-Indian along 20 E (Cape
# Agulhas); Indian-Pacific south of Tasmania, across Australia and through
# the Sunda Strait, the Malacca Strait and the Kra Isthmus.
ATLANTIC_WEST = [(-67.3, -60), (-67.3, -55.3), (-69, -52.5), (-69, -18), (-73, -14), (-77, -5),
                 (-77.2, 8.3), (-78.2, 9.15), (-79.7, 9.2), (-83.6, 10.2), (-85.5, 12.5),
                 (-88, 14.5), (-91, 16), (-94.5, 17.3), (-101, 24), (-104, 31.5), (-104, 66)]
INDIAN_EAST = [(147, -60), (147, -44), (146.5, -39), (135, -20), (129, -12), (118, -9),
               (110, -8), (105.8, -5.9), (103, 0), (100, 6), (98.9, 10.5), (98, 20),
               (98, 66)]
BASINS = [
    ("North Atlantic Ocean", "NAT", "Atlantic"),
    ("South Atlantic Ocean", "SAT", "Atlantic"),
    ("Indian Ocean", "IND", "Indian"),
    ("North Pacific Ocean", "NPA", "Pacific"),
    ("South Pacific Ocean", "SPA", "Pacific"),
]


def basin_polygons():
    atlantic = Polygon(ATLANTIC_WEST + [(20, 66), (20, -60)])
    indian = Polygon([(20, -60), (20, 66)] + INDIAN_EAST[::-1])
    pacific = Polygon([(-180, -60), (180, -60), (180, 66), (-180, 66)]).difference(
        atlantic.union(indian))
    north = Polygon([(-180, 0), (180, 0), (180, 66), (-180, 66)])
    south = Polygon([(-180, -60), (180, -60), (180, 0), (-180, 0)])
    return {
        "North Atlantic Ocean": atlantic.intersection(north),
        "South Atlantic Ocean": atlantic.intersection(south),
        "Indian Ocean": indian,
        "North Pacific Ocean": pacific.intersection(north),
        "South Pacific Ocean": pacific.intersection(south),
    }


def all_seas():
    """(name, abbreviation, ocean, shapely geometry) in order of precedence."""
    out = [(n, a, o, unary_union([Polygon(p) for p in polys])) for n, a, o, polys in SEAS]
    basins = basin_polygons()
    out += [(n, a, o, basins[n]) for n, a, o in BASINS]
    return out


STEP = 5.0 / 60.0


def to_pixel(lon, lat):
    return ((lon + 180.0) / STEP, (90.0 - lat) / STEP)


def paint(draw, geom, value):
    polys = getattr(geom, "geoms", [geom])
    for poly in polys:
        if poly.is_empty or poly.geom_type != "Polygon":
            continue
        draw.polygon([to_pixel(x, y) for x, y in poly.exterior.coords], fill=value)
        for hole in poly.interiors:
            draw.polygon([to_pixel(x, y) for x, y in hole.coords], fill=0)


def main():
    nx, ny = 4320, 2161
    # Land mask from the country polygons; the Caspian hole is painted as land.
    land_img = Image.new("L", (nx, ny), 0)
    draw = ImageDraw.Draw(land_img)
    for _p, _id, geom in topology_features(node_json("world-atlas", "countries-10m.json"),
                                           "countries"):
        for poly in getattr(geom, "geoms", [geom]):
            draw.polygon([to_pixel(x, y) for x, y in poly.exterior.coords], fill=1)
    from geometry import caspian_polygon
    casp = caspian_polygon()
    draw.polygon([to_pixel(x, y) for x, y in casp.exterior.coords], fill=1)
    land = np.array(land_img, dtype=bool)

    seas = all_seas()
    sea_img = Image.new("L", (nx, ny), 0)
    draw = ImageDraw.Draw(sea_img)
    # Paint in reverse precedence so that the first sea ends on top.
    for k in range(len(seas) - 1, -1, -1):
        paint(draw, seas[k][3], k + 1)
    sea_idx = np.array(sea_img, dtype=np.int32)
    # Pixels on an edge shared by two polygons can stay unpainted: they go to
    # the nearest painted pixel.
    from scipy import ndimage
    hole = sea_idx == 0
    if hole.any():
        _d, (iy, ix) = ndimage.distance_transform_edt(hole, return_indices=True)
        sea_idx = sea_idx[iy, ix]

    etopo = netCDF4.Dataset(f"{FERRET}/etopo5.cdf")
    rose = np.asarray(etopo["ROSE"][:], dtype=np.float64)  # [lat, lon 0..360)
    lon0 = np.asarray(etopo["ETOPO05_X"][:])
    # Rows from north to south, columns from 180 W, like the images.
    rose = rose[::-1, :]
    shift = int(np.argmin(np.abs(lon0 - 180.0)))
    rose = np.roll(rose, -shift, axis=1)
    lats = 90.0 - np.arange(ny) * STEP
    cell = (EARTH_RADIUS_KM * math.radians(STEP)) ** 2 * np.cos(np.radians(lats))
    cell = np.clip(cell, 0.0, None)
    cell[0] = cell[-1] = (EARTH_RADIUS_KM * math.radians(STEP)) ** 2 * math.radians(STEP) / 8
    area = np.repeat(cell[:, None], nx, axis=1)
    ocean = ~land
    depth = np.where(rose < 0, -rose, 0.0)

    coads = netCDF4.Dataset(f"{FERRET}/coads_climatology.cdf")
    sst = coads["SST"][:]  # [month, lat, lon], 2-degree cells centred on odd degrees
    sst_mask = np.ma.getmaskarray(sst)
    sst = np.ma.filled(sst, np.nan)
    clat = np.asarray(coads["COADSY"][:])
    clon = np.asarray(coads["COADSX"][:])
    # COADS cell of every 5-minute grid column and row.
    glon = -180.0 + np.arange(nx) * STEP
    col = np.clip(((glon - (clon[0] - 1.0)) % 360.0 / 2.0).astype(int), 0, len(clon) - 1)
    row = np.clip(((lats - (clat[0] - 1.0)) / 2.0).astype(int), 0, len(clat) - 1)
    airt = np.ma.filled(coads["AIRT"][:], np.nan)
    polar = np.abs(clat) > 55.0
    # Sea water freezes near -1.8 degC, brackish and shallow water at 0 degC
    # or above: a month also counts as icy when the water is at most 1 degC
    # under air of -5 degC or colder (the Gulf of Bothnia, the Sea of Okhotsk).
    cold_water = np.nan_to_num(sst, nan=-99.0)  # no water temperature: under ice or unvisited
    cold_air = np.nan_to_num(airt, nan=99.0) <= -5.0
    icy = ((np.nan_to_num(sst, nan=99.0) <= -1.0) | ((cold_water <= 1.0) & cold_air)
           | (sst_mask & polar[None, :, None]))
    ice_frac = icy.mean(axis=0)  # [lat, lon]
    with np.errstate(invalid="ignore"):
        sst_mean = np.nanmean(sst, axis=0)

    rain_by_row = np.array([interp(ZONAL_OCEAN_RAIN, y) for y in lats])
    oh_by_row = np.array([oh_concentration(y) for y in lats])
    features = []
    rows = []
    for k, (name, abbr, ocean_name, geom) in enumerate(seas):
        sel = ocean & (sea_idx == k + 1)
        a = area[sel]
        total = float(a.sum())
        d = depth[sel]
        vol = float((a * d).sum())
        shelf = float(a[d < 200.0].sum())
        rr, cc = np.nonzero(sel)
        ci = col[cc]
        ri = row[rr]
        t = sst_mean[ri, ci]
        ok = ~np.isnan(t)
        temp = float((a[ok] * t[ok]).sum() / a[ok].sum()) if ok.any() else float("nan")
        ice = float((a * ice_frac[ri, ci]).sum() / total) if total else 0.0
        latc = float((a * lats[rr]).sum() / total)
        rain = float((a * rain_by_row[rr]).sum() / total)
        oh = float((a * oh_by_row[rr]).sum() / total)
        # Mean longitude as a circular mean, so that seas across 180 come out right.
        ang = np.radians(glon[cc])
        lonc = math.degrees(math.atan2(float((a * np.sin(ang)).sum()),
                                       float((a * np.cos(ang)).sum())))
        earlier = unary_union([s[3] for s in seas[:k]] + [casp]) if k else casp
        own = geom.difference(earlier)
        features.append({"type": "Feature",
                         "properties": {"name": name, "abbr": abbr, "ocean": ocean_name,
                                        "row": 16 + k},
                         "geometry": mapping(own)})
        rows.append({
            "row": 16 + k, "name": name, "abbr": abbr, "ocean": ocean_name,
            "lat": fmt(latc, 5), "lon": fmt(lonc, 5),
            "area_km2": fmt(total, 7), "mean_depth_m": fmt(vol / total, 5),
            "shelf_km2": fmt(shelf, 6), "volume_km3": fmt(vol / 1000.0, 6),
            "sst_c": fmt(temp, 4), "ice_fraction": fmt(ice, 3),
            "zonal_rain_mm": fmt(rain, 4), "oh_per_cm3": fmt(oh, 4),
        })
    write_csv("seas.csv", list(rows[0].keys()), rows)
    with open(f"{HERE}/seas.geojson", "w", encoding="utf-8") as f:
        json.dump({"type": "FeatureCollection", "features": features}, f, separators=(",", ":"))
        f.write("\n")


if __name__ == "__main__":
    main()
