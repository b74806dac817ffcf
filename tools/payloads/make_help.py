#!/usr/bin/env python3
"""Writes the stand-in for the product's compiled help file: an "ITSF"
container header followed by the help pages as HTML, about 800 KB, the same
bytes on every run.

usage: make_help.py OUTPUT
"""
import random
import struct
import sys

TOPICS = [
    "Getting started", "Recording", "Playback", "Mixing", "Effects", "Sound packs",
    "Encoding to MP3", "Monitor devices", "Keyboard shortcuts", "Troubleshooting",
]
WORDS = ("track channel sample wave tempo pitch volume fade loop marker region "
         "envelope filter reverb echo chorus equaliser meter clip buffer device "
         "latency output input record play stop pause select cut copy paste undo "
         "the a of to and in with for on your you can each when from by is are").split()


def page(rng, number, topic):
    paragraphs = []
    for _ in range(rng.randint(12, 30)):
        sentence_count = rng.randint(3, 8)
        sentences = []
        for _ in range(sentence_count):
            words = [rng.choice(WORDS) for _ in range(rng.randint(6, 18))]
            sentences.append(" ".join(words).capitalize() + ".")
        paragraphs.append("<p>" + " ".join(sentences) + "</p>")
    return ("<html><head><title>%s</title></head><body>\n<h1>%d. %s</h1>\n%s\n</body></html>\n"
            % (topic, number, topic, "\n".join(paragraphs)))


def main():
    rng = random.Random(1000)
    body = bytearray()
    number = 0
    while len(body) < 790000:
        topic = TOPICS[number % len(TOPICS)]
        body += page(rng, number + 1, topic).encode("ascii")
        number += 1
    header = b"ITSF" + struct.pack("<IIII", 3, 0x60, 1, 0x409) + bytes(0x60 - 20)
    with open(sys.argv[1], "wb") as f:
        f.write(header + bytes(body))


if __name__ == "__main__":
    main()
