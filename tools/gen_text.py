#!/usr/bin/env python3
"""Writes a deterministic code page 932 text of a given size: prose-like lines of kanji, kana,
half-width katakana and ASCII with CR LF line ends, for benchmarks. With --aozora the words carry
Aozora Bunko notation as a novel does: ruby (some with ｜), editorial notes, character notes and
chapter headings.

    tools/gen_text.py OUTPUT [--size 50M] [--seed 1] [--aozora]

The same size and seed always give the same bytes.
"""

import argparse
import random
import sys


def parse_size(text):
    units = {"K": 1 << 10, "M": 1 << 20, "G": 1 << 30}
    text = text.strip().upper().rstrip("B")
    if text and text[-1] in units:
        return int(float(text[:-1]) * units[text[-1]])
    return int(text)


def characters(first, last):
    """Every character between two cp932 codes that the code page maps."""
    out = []
    for code in range(first, last + 1):
        raw = bytes([code >> 8, code & 0xFF]) if code > 0xFF else bytes([code])
        try:
            raw.decode("cp932")
        except UnicodeDecodeError:
            continue
        out.append(raw)
    return out


def vocabulary(rng):
    kanji = characters(0x889F, 0x9872)  # JIS level 1
    hiragana = characters(0x829F, 0x82F1)
    katakana = characters(0x8340, 0x8396)
    halfwidth = characters(0xA6, 0xDF)
    punctuation = [b"\x81\x41", b"\x81\x42", b"\x81\x75", b"\x81\x76", b"\x81\x45", b"\x81\x48"]
    ascii_words = [bytes(w, "ascii") for w in (
        "the", "and", "mail", "Orvella", "2004", "A5502K", "note", "page", "OK", "http://example.jp/",
        "x", "data", "01", "CPU", "vMessage", "Shift_JIS")]

    def word(pool, lo, hi):
        return b"".join(rng.choice(pool) for _ in range(rng.randint(lo, hi)))

    words = []
    for _ in range(3000):
        kind = rng.random()
        if kind < 0.40:
            words.append(word(kanji, 1, 3))
        elif kind < 0.75:
            words.append(word(hiragana, 1, 5))
        elif kind < 0.85:
            words.append(word(katakana, 2, 6))
        elif kind < 0.88:
            words.append(word(halfwidth, 2, 6))
        else:
            words.append(rng.choice(ascii_words) + b" ")
    return words, punctuation


def enc(text):
    return text.encode("cp932")


def aozora_words(rng, words, hiragana):
    """The words with notation on about one in ten."""
    notes = [enc("［＃「") + w + enc("」に傍点］") for w in words[:50]] + [enc("［＃改ページ］"), enc("［＃３字下げ］")]
    gaiji = [enc("※［＃「てへん＋劣」、第3水準1-84-77］"), enc("※［＃「土＋堯」、第3水準1-84-1］"),
             enc("※［＃「口＋世」、U+546D、12-3］"), enc("※［＃始め二重山括弧、1-1-52］")]
    out = []
    for w in words:
        r = rng.random()
        ruby = enc("《") + b"".join(rng.choice(hiragana) for _ in range(rng.randint(2, 5))) + enc("》")
        if r < 0.05:
            out.append(w + ruby)
        elif r < 0.07:
            out.append(enc("｜") + w + ruby)
        elif r < 0.09:
            out.append(w + rng.choice(notes))
        elif r < 0.10:
            out.append(w + rng.choice(gaiji))
        else:
            out.append(w)
    return out


def heading(rng):
    """A chapter heading, named by a note after it or put between two notes."""
    title = enc("第" + "一二三四五六七八九十"[rng.randrange(10)] + rng.choice("章話"))
    size = rng.choice(["大", "中", "小"])
    if rng.random() < 0.5:
        return enc("［＃５字下げ］") + title + enc("［＃「") + title + enc("」は" + size + "見出し］")
    return enc("［＃" + size + "見出し］") + title + enc("［＃" + size + "見出し終わり］")


def line_pool(rng, count=20000, aozora=False):
    """Lines of typical prose lengths: many short, most 40 to 200 bytes, a few long paragraphs."""
    words, punctuation = vocabulary(rng)
    if aozora:
        words = aozora_words(rng, words, characters(0x829F, 0x82F1))
    pool = []
    for _ in range(count):
        r = rng.random()
        if r < 0.08:
            pool.append(b"\r\n")  # blank line between paragraphs
            continue
        if aozora and r < 0.082:
            pool.append(heading(rng) + b"\r\n")
            continue
        target = rng.randint(10, 40) if r < 0.25 else rng.randint(40, 200) if r < 0.95 else rng.randint(200, 1500)
        parts, size = [], 0
        while size < target:
            w = rng.choice(words)
            if rng.random() < 0.12:
                w += rng.choice(punctuation)
            parts.append(w)
            size += len(w)
        pool.append(b"".join(parts) + b"\r\n")
    return pool


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("output")
    ap.add_argument("--size", default="50M", help="bytes, with K, M or G (default 50M)")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--aozora", action="store_true", help="words with Aozora Bunko notation, and headings")
    args = ap.parse_args()

    size = parse_size(args.size)
    rng = random.Random(args.seed)
    pool = line_pool(rng, aozora=args.aozora)
    written = 0
    with open(args.output, "wb") as out:
        while written < size:
            chunk = b"".join(rng.choices(pool, k=4096))
            if written + len(chunk) > size:
                chunk = chunk[: size - written]
                # Keep the file whole text: cut after a line end, never inside a character.
                cut = chunk.rfind(b"\r\n")
                chunk = chunk[: cut + 2] if cut >= 0 else b""
                out.write(chunk)
                written += len(chunk)
                break
            out.write(chunk)
            written += len(chunk)
    print(f"{args.output}: {written} bytes", file=sys.stderr)


if __name__ == "__main__":
    main()
