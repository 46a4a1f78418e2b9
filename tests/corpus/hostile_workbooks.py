#!/usr/bin/env python3
"""Damaged, crafted and misaligned workbooks made from the default ones, each
run through `velmora-cli dump environment` or `dump substance` under a memory
and a time limit. Every case must end with the valid result (exit 0) or with
a clear error that names the workbook (exit 1): never a crash, a hang or a
blow-up. Prints one line per case with its exit code, peak memory and time.

usage: hostile_workbooks.py --cli PATH --workbooks DIR [--light] [--no-address-limit] [--keep DIR]
  --light  leaves out the cases that inflate gigabytes (for sanitizer builds,
           where they are slow; the limits they test are the same code)
  --no-address-limit  runs the cases without the address-space limit, for
           sanitizer builds whose shadow memory needs more address space
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
    import re

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

    def ref(m):
        letters, row = m.group(1).decode(), int(m.group(2))
        c = col_index(letters)
        if c >= 2:
            c += 1
        if row >= 16:
            row += 1
        return b'r="' + (col_letters(c) + str(row)).encode() + b'"'

    def rowattr(m):
        row = int(m.group(1))
        return b'<row r="' + str(row + 1 if row >= 16 else row).encode() + b'"'

    xml = re.sub(rb'r="([A-Z]+)([0-9]+)"', ref, xml)
    return re.sub(rb'<row r="([0-9]+)"', rowattr, xml)


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

    def case(name, kind, parameters=p0, borders=b0, substances=s0, expect="any"):
        return name, kind, (parameters, borders, substances), expect

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


def run(cli, kind, files, substance, addresslimit=True):
    parameters, borders, substances = files
    args = [cli, "dump", kind, "--parameters", parameters, "--borders", borders,
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
        if time.monotonic() - start > TIME_LIMIT:
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
    try:
        for name, kind, files, expect in make_cases(o.workbooks, work, o.light):
            code, out, err, seconds, peak = run(o.cli, kind, files, "Nitrobenzene",
                                                not o.no_address_limit)
            memory = "%.0f MB" % (peak / 1024)
            text = err.decode(errors="replace").strip().splitlines()
            names = [os.path.basename(f) for f in files]
            naming = [t for t in text if any(n in t for n in names)]
            message = (naming or text or [""])[0]
            verdict = "ok"
            if code is None:
                verdict = "HANG (over %d s)" % TIME_LIMIT
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
