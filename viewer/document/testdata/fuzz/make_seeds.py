#!/usr/bin/env python3
"""Writes the seed corpora of the help-document fuzz targets into this folder.

Run from anywhere: python3 make_seeds.py. The seeds are small, hand-made inputs
that reach every branch of the decoders; the fuzzers find the rest. The seed
brieflz_pack/helptool_sample is not written here: it is
`helptool pack --brieflz --block-size 64 tools/helptool/testdata/sample OUT`.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(corpus, name, data):
    folder = os.path.join(HERE, corpus)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def stream(unpacked, block_size, blocks):
    return b"1zlb" + b"\0" * 4 + struct.pack("<qq", unpacked, block_size) + blocks


def entry(name, data, unpacked=None):
    name = name.encode("utf-8")
    unpacked = len(data) if unpacked is None else unpacked
    return struct.pack("<qqh", unpacked, len(data), len(name)) + name + data


def utf16(text):
    return text.encode("utf-16-le")


# Blocks written bit by bit (see brieflz_decoder.h): a repeat of offset 1, an
# overlapping match, sixteen literals that need a second tag word.
REPEAT = bytes([0x61, 0x00, 0xC0, 0x00])
OVERLAP = bytes([0x61, 0x00, 0x40, 0x62, 0x01])
LITERALS = bytes([0x61, 0x00, 0x00]) + b"bcdbcdbcdbcdbcdb" + bytes([0x00, 0x00, 0x7A])
TWO_BLOCKS = stream(6, 3, bytes([0x61, 0x00, 0x00, 0x61, 0x61]) * 2)

write("brieflz_block", "repeat", struct.pack("<H", 6) + REPEAT)
write("brieflz_block", "overlap", struct.pack("<H", 6) + OVERLAP)
write("brieflz_block", "literals", struct.pack("<H", 18) + LITERALS)
write("brieflz_block", "two_blocks_stream", TWO_BLOCKS)
write("brieflz_block", "stream_repeat", stream(6, 64, REPEAT))
write("brieflz_block", "text", b"the checksum of the file is the checksum of the file " * 4)

PROPERTIES = utf16("Hashmere|1.0|Hashmere Help|1.0|en_GB|2026-12-08|helptool|Orvanix|(c)|a@b.c|https://x|$FFFFFF|10|-3|1")
CONTENTS = utf16("Contents|4|0||Start|0|1|a.rtf|A|6|1|b.rtf|B|18|0|c.rtf|C|6")
write("brieflz_pack", "stored_and_compressed", b"2zlp" + entry("properties", PROPERTIES) + entry("contents", CONTENTS)
      + entry("a.rtf", stream(6, 64, REPEAT), 6) + entry("b.rtf", stream(18, 100, LITERALS), 18)
      + entry("c.rtf", TWO_BLOCKS, 6) + entry("empty", b""))
write("brieflz_pack", "raw_magic_lookalike", b"2zlp" + entry("raw", b"1zlbxyz"))
write("brieflz_pack", "duplicate_names", b"2zlp" + entry("a", b"first") + entry("a", b"second"))
write("brieflz_pack", "truncated", (b"2zlp" + entry("properties", PROPERTIES))[:-7])

write("field_text", "properties", PROPERTIES)
write("field_text", "numbers", utf16(" $ff|-5a|%10|\n12|+7|$FFFFFFFFFFFFFFFF|99999999999999999999|\t3"))
write("field_text", "bom_and_breaks", b"\xff\xfe" + utf16("a\r\n||b|") + b"\0\0" + utf16("after"))
write("field_text", "surrogates", utf16("\U0001F600|x") + b"\x00\xd8|\x00" + "ő".encode("utf-8"))

write("document_entries", "properties", PROPERTIES)
write("document_entries", "contents", CONTENTS)
write("document_entries", "count_beyond_fields", utf16("x|3|0|a|A|1|0|b|B|2"))
write("document_entries", "huge_count", utf16("x|2147483647|0|a|A|1|200|b|B|2"))
write("document_entries", "staircase", utf16("x|5|0|a|Első|1|3|b|ŐSZ|1|3|c|Ελλ|1|3|d|Кир|1|-1|e|e|1"))
