#!/usr/bin/env python3
"""Damaged, crafted and misaligned workbooks made from the default ones, each
run through `velmora-cli dump environment`, `dump substance`, `dump results`
or `list substances` under a memory and a time limit. Workbooks of many cheap
elements must also cost at most 20 times their inflated size in memory over
the default case; no message line may be longer than 1,000 characters. Every case must end with the valid result (exit 0) or with
a clear error that names the workbook (exit 1): never a crash, a hang or a
blow-up. Prints one line per case with its exit code, peak memory and time.

usage: hostile_workbooks.py --cli PATH --workbooks DIR [--light] [--no-address-limit] [--keep DIR]
  --light  leaves out the cases that inflate gigabytes (for sanitizer builds,
           where they are slow; the limits they test are the same code)
  --no-address-limit  runs the cases without the address-space limit and
           without the memory bound, for sanitizer builds: their shadow
           memory needs more address space, and freed blocks held in
           quarantine (up to 256 MB) make the peak no measure of what the
           program keeps
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zipfile
import zlib

MEMORY_LIMIT = 2 << 30  # bytes of address space per case
TIME_LIMIT = 20  # seconds per case
PARAMETERS = "ENVDATA2part1.xlsx"
BORDERS = "ENVDATA2part2.xlsx"
SUBSTANCES = "substances.xlsx"

# ---- zip writing ------------------------------------------------------------


def read_parts(path):
    with zipfile.ZipFile(path) as z:
        return [(i.filename, z.read(i.filename)) for i in z.infolist()]


def write_parts(path, parts):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in parts:
            z.writestr(name, data)


def replace_part(parts, name, data):
    return [(n, data if n == name else d) for n, d in parts]


def raw_zip(path, entries):
    """A zip of already deflated entries: (name, deflated, crc, size as told)."""
    out = bytearray()
    central = bytearray()
    for name, deflated, crc, size in entries:
        offset = len(out)
        fname = name.encode()
        out += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, 8, 0, 0, crc,
                           len(deflated), size, len(fname), 0) + fname
        out += deflated
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, 8, 0, 0,
                               crc, len(deflated), size, len(fname), 0, 0, 0, 0, 0,
                               offset) + fname
    start = len(out)
    out += central
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries),
                       len(central), start, 0)
    with open(path, "wb") as f:
        f.write(out)


def deflate(data):
    c = zlib.compressobj(9, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()


def bomb(prefix, mebibytes):
    """Deflated XML that inflates to prefix + mebibytes MiB of blanks: one
    compressed MiB repeated (a full flush makes each repetition identical)."""
    chunk = b" " * (1 << 20)
    c = zlib.compressobj(9, zlib.DEFLATED, -15)
    head = c.compress(prefix) + c.flush(zlib.Z_FULL_FLUSH)
    block = c.compress(chunk) + c.flush(zlib.Z_FULL_FLUSH)
    tail = c.flush()
    crc = zlib.crc32(prefix)
    for _ in range(mebibytes):
        crc = zlib.crc32(chunk, crc)
    return head + block * mebibytes + tail, crc & 0xFFFFFFFF, len(prefix) + (mebibytes << 20)


def bombed_workbook(path, base, part, mebibytes, toldsize=None):
    entries = []
    for name, data in read_parts(base):
        if name == part:
            deflated, crc, size = bomb(b"<worksheet><sheetData>", mebibytes)
            entries.append((name, deflated, crc, size if toldsize is None else toldsize))
        else:
            entries.append((name, deflate(data), zlib.crc32(data) & 0xFFFFFFFF, len(data)))
    raw_zip(path, entries)


# ---- sheet editing ------------------------------------------------------------


def sheet_part(parts, sheet):
    """The part name of a sheet, from the workbook and its relationships."""
    import re
    d = dict(parts)
    wb = d["xl/workbook.xml"].decode()
    rels = d["xl/_rels/workbook.xml.rels"].decode()
    m = re.search(r'<sheet [^>]*name="%s"[^>]*r:id="([^"]+)"' % re.escape(sheet), wb)
    rid = m.group(1)
    t = re.search(r'<Relationship [^>]*Id="%s"[^>]*Target="([^"]+)"' % rid, rels)
    if not t:
        t = re.search(r'<Relationship [^>]*Target="([^"]+)"[^>]*Id="%s"' % rid, rels)
    target = t.group(1)
    return target[1:] if target.startswith("/") else "xl/" + target


def add_rows(xml, rows):
    return xml.replace(b"</sheetData>", rows + b"</sheetData>")


def set_cell(xml, ref, value):
    """Replaces the value of an existing cell by an inline string."""
    import re
    pattern = re.compile(rb'<c r="%s"[^>]*?(/>|>.*?</c>)' % ref.encode(), re.S)
    new = b'<c r="%s" t="inlineStr"><is><t>%s</t></is></c>' % (ref.encode(), value.encode())
    out, n = pattern.subn(new, xml, count=1)
    if n != 1:
        raise SystemExit("cell %s not found" % ref)
    return out


def shift_rows_and_columns(xml):
    """Inserts one row at 16 and one column at B: every cell from row 16 and
    from column B moves by one."""
    return shift(shift(xml, rowfrom=16), colfrom=2)


def shared_strings(parts):
    import re
    d = dict(parts)
    sst = d.get("xl/sharedStrings.xml", b"")
    items = re.findall(rb"<si>(.*?)</si>", sst, re.S)
    return [b"".join(re.findall(rb"<t[^>]*>(.*?)</t>", i, re.S)).decode() for i in items]


def column_of(parts, sheet, row, heading):
    """The column letters of the heading in the given row of a sheet."""
    import re
    strings = shared_strings(parts)
    xml = dict(parts)[sheet_part(parts, sheet)]
    for m in re.finditer(rb'<c r="([A-Z]+)%d"([^>]*)>(.*?)</c>' % row, xml, re.S):
        v = re.search(rb"<v>(.*?)</v>", m.group(3))
        text = None
        if b't="s"' in m.group(2) and v:
            text = strings[int(v.group(1))]
        elif v:
            text = v.group(1).decode()
        t = re.search(rb"<t[^>]*>(.*?)</t>", m.group(3))
        if t and b"inlineStr" in m.group(2):
            text = t.group(1).decode()
        if text == heading:
            return m.group(1).decode()
    raise SystemExit("heading %s not found in %s row %d" % (heading, sheet, row))


def remove_cell(xml, ref):
    import re
    out, n = re.subn(rb'<c r="%s"[^>]*?(/>|>.*?</c>)' % ref.encode(), b"", xml, count=1, flags=re.S)
    if n != 1:
        raise SystemExit("cell %s not found" % ref)
    return out


def col_index(letters):
    n = 0
    for ch in letters:
        n = n * 26 + ord(ch) - 64
    return n


def col_letters(n):
    s = ""
    while n:
        n, r = divmod(n - 1, 26)
        s = chr(65 + r) + s
    return s


def shift(xml, rowfrom=None, colfrom=None, by=1):
    """Moves every cell from row rowfrom (or column colfrom) on by `by`;
    with by=-1 and a column, the column colfrom itself is deleted first."""
    import re

    if colfrom and by < 0:
        xml = re.sub(rb'<c r="%s[0-9]+"[^>]*?(/>|>.*?</c>)' % col_letters(colfrom).encode(), b"",
                     xml, flags=re.S)

    def ref(m):
        c, row = col_index(m.group(1).decode()), int(m.group(2))
        if colfrom and ((by > 0 and c >= colfrom) or (by < 0 and c > colfrom)):
            c += by
        if rowfrom and row >= rowfrom:
            row += by
        return b'r="' + (col_letters(c) + str(row)).encode() + b'"'

    def rowattr(m):
        row = int(m.group(1))
        return b'<row r="' + str(row + by if rowfrom and row >= rowfrom else row).encode() + b'"'

    xml = re.sub(rb'r="([A-Z]+)([0-9]+)"', ref, xml)
    xml = re.sub(rb'<row r="([0-9]+)"', rowattr, xml)
    return re.sub(rb' spans="[0-9:]+"', b"", xml)


# ---- .xls (BIFF8 in a compound file) -----------------------------------------


def biff_record(kind, body):
    return struct.pack("<HH", kind, len(body)) + body


def xls_file(sheets, strings, damage=None):
    """A BIFF8 workbook: sheets is [(name, [(row, col, value)])] with value a
    float (NUMBER) or an int index into strings (LABELSST). damage, when
    given, is a record appended to the first sheet's cells as it stands."""
    def bof(kind):
        return biff_record(0x0809, struct.pack("<HHHHII", 0x0600, kind, 0x0DBB, 0x07CC, 0, 6))

    def u16text(t):
        return t.encode("utf-16-le")

    sst = struct.pack("<II", len(strings), len(strings))
    for t in strings:
        sst += struct.pack("<HB", len(t), 1) + u16text(t)

    def globals_(offsets):
        g = bof(0x0005) + biff_record(0x0042, struct.pack("<H", 0x04B0))
        for (name, _), off in zip(sheets, offsets):
            g += biff_record(0x0085, struct.pack("<IBBBB", off, 0, 0, len(name), 1) + u16text(name))
        return g + biff_record(0x00FC, sst) + biff_record(0x000A, b"")

    offsets = [0] * len(sheets)
    at = len(globals_(offsets))
    body = b""
    for k, (name, cells) in enumerate(sheets):
        offsets[k] = at + len(body)
        recs = b""
        for r, c, v in cells:
            if isinstance(v, float):
                recs += biff_record(0x0203, struct.pack("<HHHd", r, c, 0, v))
            else:
                recs += biff_record(0x00FD, struct.pack("<HHHI", r, c, 0, v))
        if damage is not None and k == 0:
            recs += damage
        body += bof(0x0010) + recs + biff_record(0x000A, b"")
    stream = globals_(offsets) + body
    stream += b"\0" * (max(4096, (len(stream) + 511) // 512 * 512) - len(stream))
    n = len(stream) // 512
    end, free, fatsect = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD
    h = b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + b"\0" * 16
    h += struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) + b"\0" * 6
    h += struct.pack("<IIIIIIIII", 0, 1, 1, 0, 4096, end, 0, end, 0)
    h += struct.pack("<I", 0) + struct.pack("<I", free) * 108
    fat = struct.pack("<II", fatsect, end) + b"".join(
        struct.pack("<I", 3 + k if k + 1 < n else end) for k in range(n))
    fat += struct.pack("<I", free) * ((512 - len(fat)) // 4)

    def entry(name, kind, child, start, size):
        e = name.encode("utf-16-le").ljust(64, b"\0")
        e += struct.pack("<HBB", (len(name) + 1) * 2, kind, 1)
        e += struct.pack("<III", free, free, child) + b"\0" * 36
        return e + struct.pack("<III", start, size, 0)

    d = entry("Root Entry", 5, 1, end, 0) + entry("Workbook", 2, free, 2, len(stream))
    d += b"\0" * 256
    return h + fat + d + stream


def xls_substances():
    """The start-up substance alone in a BIFF8 substances workbook."""
    headers = ["CAS", "substype", "name", "MOLW", "TEMPmelt", "VP_TEMPtest", "SOL", "Kow"]
    values = ["98-95-3", "nitrobenzene", "Nitrobenzene", 0.12311, 278.9, 20.0, 15.5, 70.8]
    strings = ["VELMORA"] + [h for h in headers] + [v for v in values if isinstance(v, str)]
    cells = []
    for k, h in enumerate(headers):
        cells.append((1, 2 + k, strings.index(h)))
        v = values[k]
        cells.append((3, 2 + k, strings.index(v) if isinstance(v, str) else v))
    return [("VELMORA", cells)], strings


# ---- the cases ------------------------------------------------------------------


def make_cases(src, work, light):
    """Yields (name, kind, files) with kind 'environment' or 'substance' and
    files the three workbook paths; 'same' marks cases whose environment dump
    must equal the default one."""
    p0, b0, s0 = (os.path.join(src, n) for n in (PARAMETERS, BORDERS, SUBSTANCES))
    P, B, S = read_parts(p0), read_parts(b0), read_parts(s0)
    country = sheet_part(P, "countryparameters")
    border = sheet_part(B, "BORDERLENGTH(countries)")
    subsheet = sheet_part(S, "VELMORA")
    d = dict(P)

    def case(name, kind, parameters=p0, borders=b0, substances=s0, expect="any",
             bounded=False, seconds=TIME_LIMIT):
        return name, kind, (parameters, borders, substances), expect, bounded, seconds

    def path(name):
        return os.path.join(work, name)

    yield case("default-environment", "environment", expect="same")
    yield case("default-substance", "substance", expect="ok")

    # Bombs: a sheet part that inflates to 1 GiB and 3 GiB (size told truly),
    # and one whose header tells 1 KiB but inflates to 1 GiB.
    sizes = [("bomb-64m", 64)] if light else [("bomb-1g", 1024), ("bomb-3g", 3072)]
    for name, mib in sizes:
        bombed_workbook(path(name + ".xlsx"), p0, country, mib)
        yield case(name, "environment", parameters=path(name + ".xlsx"), expect="error")
    if not light:
        bombed_workbook(path("bomb-lying.xlsx"), p0, country, 1024, toldsize=1024)
        yield case("bomb-lying", "environment", parameters=path("bomb-lying.xlsx"),
                   expect="error")
        bombed_workbook(path("bomb-substances.xlsx"), s0, subsheet, 1024)
        yield case("bomb-substances", "substance", substances=path("bomb-substances.xlsx"),
                   expect="error")

    # 2,000 rows with one cell at XFD, below the regions: read, and the same result.
    rows = b"".join(b'<row r="%d"><c r="XFD%d"><v>1</v></c></row>' % (r, r)
                    for r in range(1000, 3000 if not light else 1200))
    write_parts(path("xfd.xlsx"), replace_part(P, country, add_rows(d[country], rows)))
    yield case("xfd-rows", "environment", parameters=path("xfd.xlsx"), expect="same")

    # One 1 MiB shared string in 1,500 cells.
    sst = d.get("xl/sharedStrings.xml")
    if sst is not None:
        import re
        count = len(re.findall(rb"<si>", sst))
        big = sst.replace(b"</sst>", b"<si><t>" + b"x" * (1 << 20) + b"</t></si></sst>")
        rows = b"".join(b'<row r="%d"><c r="ZZ%d" t="s"><v>%d</v></c></row>' % (r, r, count)
                        for r in range(1000, 2500))
        parts = replace_part(replace_part(P, "xl/sharedStrings.xml", big), country,
                             add_rows(d[country], rows))
        write_parts(path("shared.xlsx"), parts)
        yield case("shared-string-1m", "environment", parameters=path("shared.xlsx"),
                   expect="same")

    # 300 sheet entries pointing at one part.
    wb = d["xl/workbook.xml"]
    rels = d["xl/_rels/workbook.xml.rels"]
    extra = b"".join(b'<sheet name="copy%d" sheetId="%d" r:id="rIdCopy%d"/>' % (k, 1000 + k, k)
                     for k in range(300))
    relextra = b"".join(b'<Relationship Id="rIdCopy%d" Type="x" Target="/%s"/>' %
                        (k, country.encode()) for k in range(300))
    parts = replace_part(replace_part(P, "xl/workbook.xml", wb.replace(b"</sheets>", extra +
                                                                         b"</sheets>")),
                         "xl/_rels/workbook.xml.rels",
                         rels.replace(b"</Relationships>", relextra + b"</Relationships>"))
    write_parts(path("duplicates.xlsx"), parts)
    yield case("duplicate-sheet-targets", "environment", parameters=path("duplicates.xlsx"),
               expect="error")

    # A shared-string index "1abc".
    import re
    m = re.search(rb'<c r="([A-Z]+[0-9]+)"[^>]*t="s"[^>]*><v>[0-9]+</v>', d[country])
    if m:
        bad = d[country].replace(m.group(0), m.group(0).replace(b"</v>", b"abc</v>"), 1)
        write_parts(path("index.xlsx"), replace_part(P, country, bad))
        yield case("shared-index-1abc", "environment", parameters=path("index.xlsx"),
                   expect="error")

    # Bad values in a region's row: text, and numbers a single cannot hold.
    for label, value in (("abc", "abc"), ("1e39", "1e39"), ("1e300", "1e300")):
        xml = set_cell(d[country], "T20", value)
        write_parts(path("value-%s.xlsx" % label), replace_part(P, country, xml))
        yield case("bad-value-" + label, "environment",
                   parameters=path("value-%s.xlsx" % label), expect="error")

    # The borders workbook with one row and one column inserted.
    db = dict(B)
    write_parts(path("shifted.xlsx"),
                replace_part(B, border, shift_rows_and_columns(db[border])))
    yield case("borders-shifted", "environment", borders=path("shifted.xlsx"), expect="error")

    # Truncations and damaged zips.
    raw = open(p0, "rb").read()
    for label, n in (("half", len(raw) // 2), ("head", 10), ("tail-less", len(raw) - 22)):
        with open(path("trunc-%s.xlsx" % label), "wb") as f:
            f.write(raw[:n])
        yield case("truncated-" + label, "environment",
                   parameters=path("trunc-%s.xlsx" % label), expect="error")
    with open(path("empty.xlsx"), "wb") as f:
        pass
    yield case("empty-file", "environment", parameters=path("empty.xlsx"), expect="error")
    with open(path("garbage.xlsx"), "wb") as f:
        f.write(b"PK\x03\x04" + bytes(range(256)) * 64)
    yield case("garbage-zip", "environment", parameters=path("garbage.xlsx"), expect="error")
    corrupt = bytearray(raw)
    at = raw.find(country.encode()) + len(country) + 40  # inside the sheet's deflated data
    for k in range(at, at + 64):
        corrupt[k] ^= 0x5A
    with open(path("corrupt.xlsx"), "wb") as f:
        f.write(corrupt)
    yield case("corrupt-data", "environment", parameters=path("corrupt.xlsx"), expect="error")
    rawb = open(b0, "rb").read()
    with open(path("trunc-borders.xlsx"), "wb") as f:
        f.write(rawb[: len(rawb) // 3])
    yield case("truncated-borders", "environment", borders=path("trunc-borders.xlsx"),
               expect="error")

    # XML bombs: entity expansion, deep nesting, a broken document.
    laughs = (b'<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol">' +
              b"".join(b'<!ENTITY lol%d "%s">' % (k, (b"&lol%d;" % (k - 1) if k else b"&lol;") * 10)
                       for k in range(10)) +
              b']><worksheet><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>&lol9;</t>'
              b"</is></c></row></sheetData></worksheet>")
    write_parts(path("laughs.xlsx"), replace_part(P, country, laughs))
    yield case("xml-entity-bomb", "environment", parameters=path("laughs.xlsx"), expect="any")
    depth = 200000 if light else 2000000
    deep = b"<worksheet><sheetData>" + b"<x>" * depth + b"</x>" * depth + b"</sheetData></worksheet>"
    write_parts(path("deep.xlsx"), replace_part(P, country, deep))
    # Nothing of it is a row: a world without countries, or an error.
    yield case("xml-deep-nesting", "environment", parameters=path("deep.xlsx"), expect="any")
    write_parts(path("broken.xlsx"), replace_part(P, country, d[country][: len(d[country]) // 2]))
    yield case("xml-broken", "environment", parameters=path("broken.xlsx"), expect="error")

    # Substances: many rows of the start-up name, each wide; a later row with
    # only the name; a bad number in the row.
    ds = dict(S)
    xml = ds[subsheet]
    m = re.search(rb'<row r="4".*?</row>', xml, re.S)
    first = m.group(0)
    wide = b"".join(
        b'<row r="%d">' % r + first[first.index(b">") + 1: -len(b"</row>")].replace(
            b'4"', b'%d"' % r) + b'<c r="XFD%d"><v>1</v></c></row>' % r
        for r in range(1000, 1000 + (300 if light else 1500)))
    write_parts(path("wide.xlsx"), replace_part(S, subsheet, add_rows(xml, wide)))
    yield case("substance-many-matching-rows", "substance", substances=path("wide.xlsx"),
               expect="ok")
    m = re.search(rb'<c r="E4"[^>]*>.*?</c>', first, re.S)
    namecell = m.group(0).replace(b'r="E4"', b'r="E5000"')
    write_parts(path("blankdup.xlsx"),
                replace_part(S, subsheet, add_rows(xml, b'<row r="5000">' + namecell + b"</row>")))
    yield case("substance-name-only-duplicate", "substance", substances=path("blankdup.xlsx"),
               expect="ok")
    write_parts(path("subvalue.xlsx"), replace_part(S, subsheet, set_cell(xml, "F4", "1e39")))
    yield case("substance-1e39", "substance", substances=path("subvalue.xlsx"), expect="error")


    # ---- layout: the region columns and rows are read by position --------------
    Pd = dict(P)
    cx = Pd[country]
    write_parts(path("col-E-deleted.xlsx"), replace_part(P, country, shift(cx, colfrom=5, by=-1)))
    yield case("column-E-deleted", "environment", parameters=path("col-E-deleted.xlsx"),
               expect="error")
    write_parts(path("row16.xlsx"), replace_part(P, country, shift(cx, rowfrom=16)))
    yield case("row-inserted-at-16", "environment", parameters=path("row16.xlsx"), expect="error")
    write_parts(path("row1.xlsx"), replace_part(P, country, shift(cx, rowfrom=1)))
    yield case("row-inserted-at-1", "environment", parameters=path("row1.xlsx"), expect="error")
    write_parts(path("blankname.xlsx"), replace_part(P, country, remove_cell(cx, "A100")))
    yield case("blank-name-cell", "environment", parameters=path("blankname.xlsx"),
               expect="error")
    merged = remove_cell(remove_cell(remove_cell(cx, "A18"), "A19"), "A20")
    merged = merged.replace(b"</sheetData>", b'</sheetData><mergeCells count="1">'
                            b'<mergeCell ref="A17:A20"/></mergeCells>', 1)
    write_parts(path("merged.xlsx"), replace_part(P, country, merged))
    yield case("merged-name-cell", "environment", parameters=path("merged.xlsx"), expect="error")
    strings = shared_strings(P)
    m = re.search(rb'<c r="A19"[^>]*t="s"[^>]*><v>([0-9]+)</v>', cx)
    write_parts(path("dupname.xlsx"),
                replace_part(P, country, set_cell(cx, "A20", strings[int(m.group(1))])))
    yield case("duplicate-region-name", "environment", parameters=path("dupname.xlsx"),
               expect="error")
    write_parts(path("lat.xlsx"), replace_part(P, country, set_cell(cx, "E20", "abc")))
    yield case("latitude-not-a-number", "environment", parameters=path("lat.xlsx"),
               expect="error")
    write_parts(path("lat91.xlsx"), replace_part(P, country, set_cell(cx, "E20", "91")))
    yield case("latitude-91", "environment", parameters=path("lat91.xlsx"), expect="error")
    write_parts(path("huge-cell.xlsx"),
                replace_part(P, country, set_cell(cx, "E20", "9" * (10 << 20))))
    yield case("cell-of-10-mb", "environment", parameters=path("huge-cell.xlsx"), expect="error")
    for heading, value in (("SYSTEMAREA", "-5"), ("Npop", "-1000"), ("Farea_agr", "1.5"),
                           ("TEMP", "-300")):
        col = column_of(P, "countryparameters", 10, heading)
        write_parts(path("bad-%s.xlsx" % heading),
                    replace_part(P, country, set_cell(cx, "%s20" % col, value)))
        yield case("impossible-%s" % heading, "environment",
                   parameters=path("bad-%s.xlsx" % heading), expect="error")

    # ---- substances: impossible values, a stray name far below, no start-up one
    Sd = dict(S)
    sx = Sd[subsheet]
    for heading, value in (("MOLW", "-0.1"), ("Kow", "-3"), ("VP_TEMPtest", "0")):
        col = column_of(S, "VELMORA", 2, heading)
        write_parts(path("sub-%s.xlsx" % heading),
                    replace_part(S, subsheet, set_cell(sx, "%s4" % col, value)))
        yield case("substance-impossible-%s" % heading, "substance",
                   substances=path("sub-%s.xlsx" % heading), expect="error")
    stray = add_rows(sx, b'<row r="1048576"><c r="E1048576" t="inlineStr"><is><t>Stray</t>'
                         b"</is></c></row>")
    write_parts(path("stray.xlsx"), replace_part(S, subsheet, stray))
    yield case("substance-name-at-row-1048576", "list", substances=path("stray.xlsx"),
               expect="ok")
    m = re.search(rb'<c r="E4"[^>]*>.*?</c>', sx, re.S)
    write_parts(path("nostart.xlsx"), replace_part(S, subsheet, set_cell(sx, "E4", "Nitro")))
    yield case("no-start-up-substance", "results", substances=path("nostart.xlsx"),
               expect="error")

    # ---- .xls: our own reader, damaged records, a .xls named .xlsx --------------
    sheets, sst = xls_substances()
    with open(path("substances.xls"), "wb") as f:
        f.write(xls_file(sheets, sst))
    yield case("xls-substances", "substance", substances=path("substances.xls"), expect="ok")
    empty_labelsst = biff_record(0x00FD, b"")
    for name in ("labelsst-0.xls", "labelsst-0.xlsx"):
        with open(path(name), "wb") as f:
            f.write(xls_file(sheets, sst, damage=empty_labelsst))
        yield case("xls-" + name.replace(".", "-"), "substance", substances=path(name),
                   expect="error")
    with open(path("sst-index.xls"), "wb") as f:
        f.write(xls_file(sheets, sst, damage=biff_record(0x00FD, struct.pack("<HHHI", 9, 9, 0,
                                                                            999999))))
    yield case("xls-missing-shared-string", "substance", substances=path("sst-index.xls"),
               expect="error")
    good = bytearray(xls_file(sheets, sst))
    import random
    rng = random.Random(38)
    for k in range(10 if light else 60):
        bad = bytearray(good)
        for _ in range(rng.choice((1, 4, 32))):
            bad[rng.randrange(len(bad))] = rng.randrange(256)
        if k % 3 == 0:
            bad = bad[: rng.randrange(len(bad))]
        with open(path("fuzz%d.xls" % k), "wb") as f:
            f.write(bytes(bad))
        yield case("xls-fuzz-%d" % k, "substance", substances=path("fuzz%d.xls" % k),
                   expect="any")

    # ---- memory: cheap bytes that are costly elements --------------------------------
    # Rows of 16,000 empty cells (a row holds at most 16,384), 15 million in all.
    empties = b"".join(b'<row r="%d">' % (300 + k) + b"<c/>" * 16000 + b"</row>"
                       for k in range(((8 if light else 60) << 18) // 16000))
    write_parts(path("empties.xlsx"), replace_part(P, country, add_rows(cx, empties)))
    # These cases are about memory: on a busy machine parsing 60 MB takes its
    # time, so they get a longer limit.
    yield case("many-empty-elements", "environment", parameters=path("empties.xlsx"),
               expect="any", bounded=True, seconds=60)
    sstx = Pd["xl/sharedStrings.xml"]
    many = sstx.replace(b"</sst>", b"<si/>" * ((8 if light else 50) << 18) + b"</sst>")
    write_parts(path("emptystrings.xlsx"), replace_part(P, "xl/sharedStrings.xml", many))
    yield case("many-empty-shared-strings", "environment", parameters=path("emptystrings.xlsx"),
               expect="any", bounded=True, seconds=60)
    count = 20000 if light else 60000
    wbx = Pd["xl/workbook.xml"]
    relx = Pd["xl/_rels/workbook.xml.rels"]
    extra = b"".join(b'<sheet name="s%d" sheetId="%d" r:id="rIdS%d"/>' % (k, 5000 + k, k)
                     for k in range(count))
    relextra = b"".join(b'<Relationship Id="rIdS%d" Type="x" Target="worksheets/s%d.xml"/>' %
                        (k, k) for k in range(count))
    parts = replace_part(replace_part(P, "xl/workbook.xml",
                                      wbx.replace(b"</sheets>", extra + b"</sheets>")),
                         "xl/_rels/workbook.xml.rels",
                         relx.replace(b"</Relationships>", relextra + b"</Relationships>"))
    parts += [("xl/worksheets/s%d.xml" % k, b"<worksheet/>") for k in range(count)]
    with zipfile.ZipFile(path("sheets.xlsx"), "w", zipfile.ZIP_STORED) as z:
        for name, data in parts:
            z.writestr(name, data)
    # Linear in the sheets (a quadratic check took 57 s for 150,000); each
    # part still costs its opening, so this case has a longer limit.
    yield case("sheets-%d" % count, "environment", parameters=path("sheets.xlsx"),
               expect="same", bounded=True, seconds=60)


def inflated_size(path):
    """Bytes of all parts of a workbook as stored inflated (0 for an .xls)."""
    try:
        with zipfile.ZipFile(path) as z:
            return sum(i.file_size for i in z.infolist())
    except (zipfile.BadZipFile, OSError):
        return 0


def run(cli, kind, files, substance, addresslimit=True, timelimit=TIME_LIMIT):
    parameters, borders, substances = files
    command = {"list": ["list", "substances"]}.get(kind, ["dump", kind])
    args = [cli] + command + ["--parameters", parameters, "--borders", borders,
                              "--substances", substances]
    if kind == "substance":
        args += ["--substance", substance]

    # The limits are set by prlimit, not in a pre-exec hook: a forked copy
    # of this script would count its own memory as the case's peak.
    # AddressSanitizer reserves terabytes of address space for its shadow
    # memory, so a sanitizer build runs without the address-space limit; the
    # peak is still measured and the time limit still holds.
    limits = ["--as=%d" % MEMORY_LIMIT] if addresslimit else []
    args = ["prlimit"] + limits + ["--core=0"] + args
    start = time.monotonic()
    p = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    chunks = {"out": [], "err": []}

    def drain(stream, key):
        for block in iter(lambda: stream.read(65536), b""):
            chunks[key].append(block)

    readers = [threading.Thread(target=drain, args=(p.stdout, "out")),
               threading.Thread(target=drain, args=(p.stderr, "err"))]
    for t in readers:
        t.start()
    code, peak = None, 0
    while True:
        # The peak since exec: the rusage figure would include the memory
        # of this script, which the child shares until it execs.
        try:
            with open("/proc/%d/status" % p.pid) as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        peak = max(peak, int(line.split()[1]))  # KiB
        except (OSError, ValueError):
            pass
        pid, status, usage = os.wait4(p.pid, os.WNOHANG)
        if pid:
            code = os.waitstatus_to_exitcode(status)
            break
        if time.monotonic() - start > timelimit:
            p.kill()
            os.wait4(p.pid, 0)
            break
        time.sleep(0.02)
    p.returncode = code if code is not None else -9
    for t in readers:
        t.join()
    return code, b"".join(chunks["out"]), b"".join(chunks["err"]), time.monotonic() - start, peak


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--workbooks", required=True)
    ap.add_argument("--light", action="store_true")
    ap.add_argument("--no-address-limit", action="store_true")
    ap.add_argument("--keep")
    o = ap.parse_args()
    work = o.keep or tempfile.mkdtemp(prefix="velmora-hostile-")
    os.makedirs(work, exist_ok=True)
    failures = []
    baseline = None
    base_peak = 0
    try:
        for name, kind, files, expect, bounded, limit in make_cases(o.workbooks, work,
                                                                    o.light):
            code, out, err, seconds, peak = run(o.cli, kind, files, "Nitrobenzene",
                                                not o.no_address_limit, limit)
            memory = "%.0f MB" % (peak / 1024)
            text = err.decode(errors="replace").strip().splitlines()
            names = [os.path.basename(f) for f in files]
            naming = [t for t in text if any(n in t for n in names)]
            message = (naming or text or [""])[0]
            verdict = "ok"
            if code is None:
                verdict = "HANG (over %d s)" % limit
            elif code < 0 or code > 1:
                verdict = "CRASH (exit %d)" % code
            elif code == 1:
                named = bool(naming)
                if not named:
                    verdict = "ERROR WITHOUT THE FILE: " + message
                elif expect in ("ok", "same"):
                    verdict = "REFUSED A VALID WORKBOOK: " + message
            elif expect == "error":
                verdict = "ACCEPTED A DAMAGED WORKBOOK"
            if any(len(t) > 1000 for t in text):
                verdict = "MESSAGE OF %d CHARACTERS" % max(len(t) for t in text)
            if code == 0 and kind == "list" and out.count(b"\n") > 1000:
                verdict = "LISTED %d NAMES" % out.count(b"\n")
            if bounded and base_peak and not o.no_address_limit:
                # Memory follows what the workbook holds, not what it costs
                # to describe: at most 20 times its inflated size over the
                # default case.
                inflated = sum(inflated_size(f) for f in files)
                limit = base_peak + 20 * inflated / 1024
                if peak > limit:
                    verdict = "MEMORY %.0f MB OVER %.0f MB" % (peak / 1024, limit / 1024)
            if name == "default-environment":
                base_peak = peak
            if code == 0 and kind == "environment":
                if name == "default-environment":
                    baseline = out
                elif expect == "same" and out != baseline:
                    verdict = "DIFFERENT RESULT"
            print("%-32s exit %-4s %10s %6.2f s  %s%s" %
                  (name, code, memory, seconds, verdict,
                   "" if verdict != "ok" or code == 0 else "  (" + message[:110] + ")"))
            sys.stdout.flush()
            if verdict != "ok":
                failures.append(name)
    finally:
        if not o.keep:
            shutil.rmtree(work, ignore_errors=True)
    if failures:
        print("failed: " + ", ".join(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
