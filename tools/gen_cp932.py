#!/usr/bin/env python3
"""Generate src/core/generated/cp932_tables.cpp from glibc's WINDOWS-31J charmap.

The charmap (Debian package `locales`) lists every code of code page 932; codes marked
%IRREVERSIBLE% decode but are never produced. Where a character has several codes the one
Windows writes is chosen by rank -- JIS X 0208, then NEC row 13 (lead 0x87), then the IBM
extensions (0xFA-0xFC); the NEC-selected IBM extensions (0xED-0xEE) are never written -- and
the choice must agree with the charmap's own marks, or generation stops.

Nine characters Windows has no code for are written with the code of their JIS X 0208 reading
(U+301C wave dash as 0x8160, and so on; see JIS_READINGS), as the system's iconv CP932 does.
They are encoded only: those codes still decode to the characters Windows reads them as.

Usage: gen_cp932.py [--charmap PATH] [--output PATH] [--check]
  --check  compare with the committed output instead of writing it (exit 1 on a difference).
"""

import argparse
import gzip
import re
import sys
from pathlib import Path

DEFAULT_CHARMAP = "/usr/share/i18n/charmaps/WINDOWS-31J.gz"
REPO = Path(__file__).resolve().parent.parent
DEFAULT_OUTPUT = REPO / "src" / "core" / "generated" / "cp932_tables.cpp"

LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
TRAIL_FIRST, TRAIL_LAST = 0x40, 0xFC
TRAIL_COUNT = TRAIL_LAST - TRAIL_FIRST + 1
USER_TRAILS = [t for t in range(TRAIL_FIRST, TRAIL_LAST + 1) if t != 0x7F]
USER_FIRST_UNIT = 0xE000

# Characters typed on other systems for the same key or symbol: the JIS X 0208 (or JIS-Roman)
# reading of a code that Windows reads as another character. Encoded, never decoded.
JIS_READINGS = {
    0x301C: 0x8160,  # wave dash; Windows reads 81 60 as U+FF5E
    0x2212: 0x817C,  # minus sign; U+FF0D
    0x2016: 0x8161,  # double vertical line; U+2225
    0x2014: 0x815C,  # em dash; U+2015
    0x00A2: 0x8191,  # cent sign; U+FFE0
    0x00A3: 0x8192,  # pound sign; U+FFE1
    0x00AC: 0x81CA,  # not sign; U+FFE2
    0x00A5: 0x5C,    # yen sign, JIS-Roman; 0x5C stays backslash
    0x203E: 0x7E,    # overline, JIS-Roman; 0x7E stays tilde
}

LINE = re.compile(r"^(%IRREVERSIBLE%)?<U([0-9A-Fa-f]{4,8})>\s+((?:/x[0-9a-fA-F]{2}){1,2})(?:\s|$)")


class CharmapError(Exception):
    pass


def fail(message):
    raise CharmapError(message)


def is_trail(byte):
    return TRAIL_FIRST <= byte <= TRAIL_LAST and byte != 0x7F


def rank(code):
    """Preference of a code among the codes of one character; None = never written."""
    if code <= 0xFF:
        return 0
    lead = code >> 8
    if lead == 0x87:
        return 2  # NEC row 13
    if lead in (0xED, 0xEE):
        return None  # NEC-selected IBM extensions
    if 0xFA <= lead <= 0xFC:
        return 3  # IBM extensions
    if 0xF0 <= lead <= 0xF9:
        return 4  # user-defined area
    return 1  # JIS X 0208


def read_charmap(path):
    opener = gzip.open if str(path).endswith(".gz") else open
    with opener(path, "rt", encoding="ascii") as f:
        lines = f.read().splitlines()
    try:
        start = lines.index("CHARMAP")
        end = lines.index("END CHARMAP")
    except ValueError:
        fail(f"{path}: no CHARMAP section")
    entries = []  # (code, unit, irreversible)
    for number, line in enumerate(lines[start + 1:end], start + 2):
        if not line.strip() or (line.startswith("%") and not line.startswith("%IRREVERSIBLE%")):
            continue
        m = LINE.match(line)
        if not m:
            fail(f"{path}:{number}: unexpected line: {line!r}")
        unit = int(m.group(2), 16)
        raw = [int(x, 16) for x in m.group(3).split("/x")[1:]]
        if len(raw) == 1:
            code = raw[0]
        else:
            if raw[0] not in LEADS or not is_trail(raw[1]):
                fail(f"{path}:{number}: {m.group(3)} is not a lead and trail byte")
            code = raw[0] << 8 | raw[1]
        if unit > 0xFFFF or 0xD800 <= unit <= 0xDFFF:
            fail(f"{path}:{number}: U+{unit:04X} is not a BMP character")
        entries.append((code, unit, bool(m.group(1))))
    return entries


def add_user_area(entries):
    """The user-defined area 0xF040-0xF9FC <-> U+E000-U+E757, in order; checked where present."""
    expected = {}
    unit = USER_FIRST_UNIT
    for lead in range(0xF0, 0xFA):
        for trail in USER_TRAILS:
            expected[lead << 8 | trail] = unit
            unit += 1
    present = {code: (u, irr) for code, u, irr in entries if 0xF0 <= code >> 8 <= 0xF9}
    if present:
        if len(present) != len(expected):
            fail(f"user-defined area has {len(present)} codes, expected {len(expected)}")
        for code, (u, irr) in present.items():
            if expected.get(code) != u or irr:
                fail(f"user-defined code {code:04X} maps to U+{u:04X}, expected U+{expected.get(code, 0):04X}")
        return entries
    return entries + [(code, u, False) for code, u in expected.items()]


def build(entries):
    decode = {}
    codes_of = {}
    for code, unit, irreversible in entries:
        if code in decode:
            fail(f"code {code:X} is listed twice")
        decode[code] = unit
        codes_of.setdefault(unit, []).append((code, irreversible))

    # Single bytes: ASCII and half-width katakana, nothing else.
    singles = {code: unit for code, unit in decode.items() if code <= 0xFF}
    want = {b: b for b in range(0x80)}
    want.update({b: 0xFF61 + b - 0xA1 for b in range(0xA1, 0xE0)})
    if singles != want:
        fail("single-byte codes are not ASCII plus half-width katakana")

    encode = {}
    for unit, codes in codes_of.items():
        ranked = [(rank(code), code) for code, _ in codes if rank(code) is not None]
        if not ranked:
            fail(f"U+{unit:04X} has only NEC-selected IBM codes")
        ranked.sort()
        if len(ranked) > 1 and ranked[0][0] == ranked[1][0]:
            fail(f"U+{unit:04X} has two codes of equal rank: {ranked[0][1]:X} {ranked[1][1]:X}")
        chosen = ranked[0][1]
        marked = [code for code, irreversible in codes if not irreversible]
        if marked != [chosen]:
            fail(f"U+{unit:04X}: charmap writes {[f'{c:X}' for c in marked]}, rank gives {chosen:X}")
        encode[unit] = chosen

    for code in decode:
        if code >> 8 in (0xED, 0xEE) and encode[decode[code]] == code:
            fail(f"NEC-selected IBM code {code:X} would be written")

    # A few characters whose codes everyone knows; a charmap that gets these wrong is not cp932.
    known = {0x5909: 0x95CF, 0x63DB: 0x8AB7, 0xFF71: 0xB1, 0x3042: 0x82A0, 0x2015: 0x815C,
             0xFF5E: 0x8160, 0x2235: 0x81E6, 0x2252: 0x81E0, 0x2160: 0x8754, 0x2170: 0xFA40,
             0xFFE2: 0x81CA, 0x7E8A: 0xFA5C, 0x5C: 0x5C, 0x7E: 0x7E}
    for unit, code in known.items():
        if encode.get(unit) != code:
            fail(f"U+{unit:04X} should be {code:X}, charmap gives {encode.get(unit, 0):X}")
    for unit, code in JIS_READINGS.items():
        if unit in encode:
            fail(f"U+{unit:04X} already has a code; it needs no JIS reading")
        if code not in decode or decode[code] == unit:
            fail(f"JIS reading {code:X} of U+{unit:04X} is not a code read as another character")
        encode[unit] = code
    if not 7000 < len(encode) < 9500 or not 9000 < len(decode) < 10000:
        fail(f"unexpected size: {len(encode)} characters, {len(decode)} codes")
    return decode, encode


def rows(values, per_line, width):
    """Hex with `width` digits, or decimal when width is None; zeros stay short."""
    out = []
    for i in range(0, len(values), per_line):
        cells = (str(v) if width is None or not v else f"0x{v:0{width}X}" for v in values[i:i + per_line])
        out.append("    " + ",".join(cells) + ",")
    return out


def render(decode, encode, source):
    blocks = [[0] * 256]  # block 0: no character of that page has a code
    index = []
    for high in range(256):
        block = [encode.get(high << 8 | low, 0) for low in range(256)]
        if any(block):
            index.append(len(blocks))
            blocks.append(block)
        else:
            index.append(0)
    if len(blocks) > 255:
        fail("too many encode blocks for a byte index")

    out = [
        f"// Generated by tools/gen_cp932.py from {source} -- do not edit.",
        f"// {len(decode)} codes, {len(encode)} characters written.",
        '#include "core/cp932_tables.hpp"',
        "",
        "namespace orvella::cp932::tables {",
        "",
        "const std::uint8_t kEncodeIndex[256] = {",
        *rows(index, 32, None),
        "};",
        "",
        f"const std::uint16_t kEncodeBlocks[{len(blocks)}][256] = {{",
    ]
    for high, block in [(None, blocks[0])] + [(h, blocks[i]) for h, i in enumerate(index) if i]:
        out.append(f"  {{  // U+{high:02X}xx" if high is not None else "  {  // unmapped")
        out += ["  " + line for line in rows(block, 16, 2)]
        out.append("  },")
    out += ["};", "", "const char16_t kDecodeSingle[256] = {"]
    out += rows([decode.get(b, 0) for b in range(256)], 16, 4)
    out += ["};", "", f"const char16_t kDecodeDouble[{len(LEADS)}][{TRAIL_COUNT}] = {{"]
    for lead in LEADS:
        out.append(f"  {{  // lead {lead:02X}")
        out += ["  " + line for line in
                rows([decode.get(lead << 8 | t, 0) for t in range(TRAIL_FIRST, TRAIL_LAST + 1)], 16, 4)]
        out.append("  },")
    out += ["};", "", "}  // namespace orvella::cp932::tables", ""]
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--charmap", default=DEFAULT_CHARMAP)
    parser.add_argument("--output", type=Path, default=DEFAULT_OUTPUT)
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    try:
        decode, encode = build(add_user_area(read_charmap(args.charmap)))
    except (CharmapError, OSError) as e:
        print(f"gen_cp932: {e}", file=sys.stderr)
        return 2
    text = render(decode, encode, Path(args.charmap).name)
    if args.check:
        current = args.output.read_text(encoding="utf-8") if args.output.exists() else ""
        if current != text:
            print(f"gen_cp932: {args.output} is out of date", file=sys.stderr)
            return 1
        print(f"gen_cp932: {args.output} is up to date")
        return 0
    args.output.write_text(text, encoding="utf-8")
    print(f"gen_cp932: wrote {args.output} ({len(decode)} codes, {len(encode)} characters)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
