#!/usr/bin/env python3
"""Writes a reproducible corpus of tagged MPEG-like files for the tag benchmarks.

usage: make-corpus.py DIR [COUNT]   (default COUNT 10000; same seed, same files)

Each file: an ID3v2 tag of version 3 or 4 with 8 to 15 text frames in mixed encodings, a COMM
frame, an APIC frame of 20 to 60 KB and some padding; then about 8 KB of MPEG-like audio
frames; about a third of the files end with an ID3v1 trailer.
"""
import os
import random
import struct
import sys

TEXT_IDS = ["TALB", "TCOM", "TCON", "TCOP", "TENC", "TPE2", "TPOS", "TPUB", "TBPM", "TSSE", "TLAN",
            "TKEY", "TMED", "TOAL", "TIT1", "TIT3", "TSRC"]
WORDS = ["night", "river", "blue", "echo", "dance", "silver", "heart", "road", "Café", "Ürban",
         "storm", "light", "drift", "Mañana", "fire", "glass", "moon", "Øresund", "wave", "gold"]
GENRES = ["Rock", "Pop", "Jazz", "(17)", "Electronic", "Classical", "Hip-Hop", "Ambient"]


def syncsafe(value):
    return bytes([(value >> 21) & 0x7F, (value >> 14) & 0x7F, (value >> 7) & 0x7F, value & 0x7F])


def phrase(rng, words):
    return " ".join(rng.choice(WORDS) for _ in range(words)).title()


def encode_text(rng, version, text):
    """Encoding byte and bytes of a text in an encoding the tag version allows."""
    choices = [0, 1, 3] if version == 4 else [0, 1]
    encoding = rng.choice(choices)
    if encoding == 0:
        try:
            return b"\x00" + text.encode("latin-1")
        except UnicodeEncodeError:
            encoding = 1
    if encoding == 1:
        return b"\x01" + text.encode("utf-16")  # with byte order mark
    return b"\x03" + text.encode("utf-8")


def frame(version, ident, data):
    size = syncsafe(len(data)) if version == 4 else struct.pack(">I", len(data))
    return ident.encode("ascii") + size + b"\x00\x00" + data


def tag(rng, version):
    frames = []
    year_id = "TDRC" if version == 4 else "TYER"
    core = [("TIT2", phrase(rng, rng.randint(1, 4))), ("TPE1", phrase(rng, rng.randint(1, 3))),
            (year_id, str(rng.randint(1960, 2024))), ("TRCK", "%d/%d" % (rng.randint(1, 12), 12))]
    extra_count = rng.randint(8, 15) - len(core)
    extras = [(ident, phrase(rng, rng.randint(1, 3))) for ident in rng.sample(TEXT_IDS, extra_count)]
    extras = [(i, rng.choice(GENRES)) if i == "TCON" else (i, t) for i, t in extras]
    for ident, text in core + extras:
        frames.append(frame(version, ident, encode_text(rng, version, text)))
    comment = encode_text(rng, version, phrase(rng, 6))
    frames.append(frame(version, "COMM", comment[:1] + b"eng" + (b"\x00\x00" if comment[:1] in (b"\x01",) else b"\x00") + comment[1:]))
    picture = rng.randbytes(rng.randint(20_000, 60_000))
    frames.append(frame(version, "APIC", b"\x00image/jpeg\x00\x03\x00\xff\xd8\xff\xe0" + picture))
    body = b"".join(frames)
    padding = rng.choice([0, 256, 1024, 2048])
    header = b"ID3" + bytes([version, 0, 0]) + syncsafe(len(body) + padding)
    return header + body + b"\x00" * padding


def audio(rng):
    out = bytearray()
    while len(out) < 8000:
        out += b"\xff\xfb\x90\x64" + rng.randbytes(413)
    return bytes(out)


def trailer(rng):
    def field(text, width):
        return text.encode("latin-1", "replace")[:width].ljust(width, b"\x00")
    return (b"TAG" + field(phrase(rng, 2), 30) + field(phrase(rng, 2), 30) + field(phrase(rng, 2), 30) +
            field(str(rng.randint(1960, 2024)), 4) + field("", 28) + b"\x00" +
            bytes([rng.randint(1, 20), rng.randint(0, 79)]))


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit("usage: make-corpus.py DIR [COUNT]")
    folder = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) == 3 else 10000
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(20260301)
    for index in range(count):
        version = 3 if rng.random() < 0.6 else 4
        data = tag(rng, version) + audio(rng)
        if rng.random() < 0.33:
            data += trailer(rng)
        with open(os.path.join(folder, "track%05d.mp3" % index), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
