#!/usr/bin/env python3
"""Writes known_answers.tsv: every algorithm's digest of a set of inputs.

Python's hashlib and zlib are the independent reference. Each line is
  algorithm<TAB>bit width<TAB>input<TAB>expected hex
where input is "text:..." (the ASCII text), "repeat:C:N" (character C, N
times) or "pattern:N" (N bytes, byte i = (i * 31 + 7) mod 251).
Run it from this folder: ./make_known_answers.py > known_answers.tsv
"""
import hashlib
import zlib

ALGORITHMS = [
    ("crc32", 0, lambda b: "%08x" % zlib.crc32(b)),
    ("md5", 0, lambda b: hashlib.md5(b).hexdigest()),
    ("sha1", 0, lambda b: hashlib.sha1(b).hexdigest()),
    ("sha2", 224, lambda b: hashlib.sha224(b).hexdigest()),
    ("sha2", 256, lambda b: hashlib.sha256(b).hexdigest()),
    ("sha2", 384, lambda b: hashlib.sha384(b).hexdigest()),
    ("sha2", 512, lambda b: hashlib.sha512(b).hexdigest()),
    ("sha3", 224, lambda b: hashlib.sha3_224(b).hexdigest()),
    ("sha3", 256, lambda b: hashlib.sha3_256(b).hexdigest()),
    ("sha3", 384, lambda b: hashlib.sha3_384(b).hexdigest()),
    ("sha3", 512, lambda b: hashlib.sha3_512(b).hexdigest()),
]

TEXTS = [
    "",
    "abc",
    "123456789",
    "The quick brown fox jumps over the lazy dog",
    "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
    "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
]

# Block edges of the 64- and 128-byte families and the SHA-3 rates (144, 136, 104, 72).
PATTERN_LENGTHS = sorted({1, 3, 7, 8, 9, 15, 16, 17, 31, 32, 33, 55, 56, 57, 63, 64, 65, 71, 72, 73,
                          103, 104, 105, 111, 112, 113, 119, 120, 127, 128, 129, 135, 136, 137, 143,
                          144, 145, 200, 255, 256, 257, 1000, 4095, 4096, 4097, 65536, 1048575,
                          1048576, 1048577})


def pattern(n):
    return bytes((i * 31 + 7) % 251 for i in range(n))


def main():
    inputs = [("text:" + t, t.encode()) for t in TEXTS]
    inputs.append(("repeat:a:1000000", b"a" * 1000000))
    inputs += [("pattern:%d" % n, pattern(n)) for n in PATTERN_LENGTHS]
    for spec, data in inputs:
        for name, width, fn in ALGORITHMS:
            print("%s\t%d\t%s\t%s" % (name, width, spec, fn(data)))


if __name__ == "__main__":
    main()
