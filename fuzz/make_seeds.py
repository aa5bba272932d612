#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the fuzz targets' seed inputs into OUT_DIR/<target>/, from the
tests' and resources' data: the golden streams (the screen editor's rule
cases among them) and the drawings for the interpreter, the built-in
address book for the readers, and sound exchanges for the transfer
engines, encoded the way each target reads its input.

Usage: make_seeds.py SOURCE_DIR OUT_DIR
"""
import base64
import glob
import json
import os
import sys


def screen_editor_streams(source):
    """The streams of the screen editor's rule cases (tests/golden)."""
    sys.path.insert(0, os.path.join(source, "tools"))
    from screen_cases import parse_stream
    streams, name = [], None
    with open(os.path.join(source, "tests/golden/screen-editor.cases")) as f:
        for line in f:
            if line.startswith("case "):
                name = line.split()[1] + ".seq"
            elif line.startswith("stream "):
                streams.append((name, parse_stream(line[len("stream "):].rstrip("\n"))))
    return streams


class Steps:
    """Input for a target reading it with FuzzedDataProvider: bytes taken
    from the front, numbers from the back (most significant byte first)."""

    def __init__(self):
        self.front = bytearray()
        self.back = bytearray()

    def number(self, low, high, value):
        span, value = high - low, value - low
        assert 0 <= value <= span
        count = 0
        while count * 8 < 64 and (span >> (count * 8)) > 0:
            count += 1
        for i in reversed(range(count)):
            self.back.append((value >> (8 * i)) & 0xFF)
        return self

    def byte(self, value):
        return self.number(0, 255, value)

    def data(self, payload):
        self.front += payload
        return self

    def bytes(self):
        return bytes(self.front) + bytes(reversed(self.back))


def patterned(size, seed):
    state = seed or 1
    out = bytearray()
    for _ in range(size):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        out.append(state >> 16 & 0xFF)
    return bytes(out)


# xmodem_receive_fuzz.cpp's steps.
RAW, PACKET, WAIT, EOT, SENDER_CANCEL, USER_CANCEL, LINE_DROP = range(7)


def xmodem_receive(long_blocks, first_wait):
    s = Steps()
    s.number(0, 6, WAIT).number(0, 12000, first_wait)
    for block, long_block in enumerate(long_blocks, 1):
        s.number(0, 6, PACKET).byte(1 if long_block else 0)
        s.number(0, 3, 1).number(0, 7, 7)  # the engine's check, the expected number
        s.data(patterned(1024 if long_block else 128, block))
        s.number(0, 7, 7).number(0, 2, 0)  # undamaged, whole
    s.number(0, 6, EOT)
    return s.bytes()


# xmodem_send_fuzz.cpp's steps and answers.
ANSWER = 0
ANSWERS = {"C": 0, "NAK": 1, "ACK": 2}


def xmodem_send(size, one_k, answers):
    s = Steps().number(1, 6000, size).byte(1 if one_k else 0)
    for answer in answers:
        s.number(0, 4, ANSWER).number(0, 7, ANSWERS[answer])
    return s.bytes()


# punter_receive_fuzz.cpp's steps.
P_RAW, P_WORD, P_BLOCK, P_WAIT = range(4)
WORDS = {"GOO": 0, "BAD": 1, "ACK": 2, "S/B": 3, "SYN": 4}


def punter_receive(sizes):
    s = Steps()

    def word(w):
        s.number(0, 5, P_WORD).number(0, 4, WORDS[w]).number(0, 2, 0)

    s.number(0, 5, P_WAIT).number(0, 12000, 2000)
    word("ACK")
    s.number(0, 5, P_BLOCK).number(0, 2, 0).byte(1).number(0, 2, 0)  # file type
    word("ACK")
    word("SYN")
    word("ACK")
    s.number(0, 5, P_BLOCK).number(0, 2, 1).byte(7 + sizes[0]).number(0, 2, 0)  # header only
    for i, size in enumerate(sizes):
        word("ACK")
        final = i + 1 == len(sizes)
        s.number(0, 5, P_BLOCK).number(0, 2, 2).number(0, 248, size).number(0, 3, 0 if final else 1)
        s.byte(0 if final else 7 + sizes[i + 1]).byte(i + 1)
        s.data(patterned(size, i + 1))
        s.number(0, 7, 7).number(0, 2, 0)
    word("ACK")
    word("SYN")
    return s.bytes()


def main():
    source, out = sys.argv[1], sys.argv[2]
    seeds = {}

    def add(target, name, payload):
        seeds.setdefault(target, []).append((name, payload))

    def read(path):
        with open(os.path.join(source, path), "rb") as f:
            return f.read()

    book_text = read("resources/default_address_book.json")
    book = json.loads(book_text)
    streams = [(os.path.basename(p), read(p)) for p in sorted(glob.glob(os.path.join(source, "tests/golden/*.seq")))]
    streams += [(os.path.basename(p), read(p)) for p in sorted(glob.glob(os.path.join(source, "resources/*.seq")))]
    streams += [("entry%d.seq" % i, base64.b64decode(e["screenshot"])) for i, e in enumerate(book) if e.get("screenshot")]
    streams += screen_editor_streams(source)
    for name, stream in streams:
        fixed = name.endswith(".fixed.seq")
        # Options: fixed screen or not, light blue text (a fresh screen part
        # way); the batch seed and black background, or the view scrolled back.
        add("interpreter_fuzz", name, bytes([0xE1 if fixed else 0xE0, 7]) + stream)
        add("interpreter_fuzz", name + ".fixed", bytes([0xE1, 0x0C]) + stream)
        add("interpreter_fuzz", name + ".fresh", bytes([0xE4, 0x65]) + stream * 2)
        add("screenshot_fuzz", name, bytes([0xE1 if fixed else 0xE0, 0]) + stream)
        add("screenshot_fuzz", name + ".back", bytes([0xE0, 0x63]) + stream * 3)

    add("entries_fuzz", "default_address_book.json", book_text)
    for i, entry in enumerate(book):
        add("entries_fuzz", "entry%d.morbbs" % i, json.dumps(entry, separators=(",", ":")).encode())
        if entry.get("screenshot"):
            add("base64_fuzz", "screenshot%d" % i, entry["screenshot"].encode())
    config = ('{"morlenConfig":1,"petsciiScale":2,"keyboardMap":1,"dialogOnReceived":false,'
              '"autoCheckForUpdate":true,"addressBook":%s}' % book_text.decode().strip())
    add("configuration_fuzz", "morlen.config", config.encode())
    add("configuration_fuzz", "empty-book.config", b'{"morlenConfig":1,"petsciiScale":8,"keyboardMap":2,'
        b'"dialogOnReceived":true,"autoCheckForUpdate":false,"addressBook":[]}')

    add("versions_fuzz", "morlen.ver", json.dumps({"versions": [
        {"os": "windows", "version": "9.9.9", "url": "https://127.0.0.1/windows"},
        {"os": "linux", "version": "1.0.10", "url": "http://127.0.0.1/morlen"},
        {"os": "linux", "version": "1.-2.beta", "url": "ftp:x"}]}).encode())
    add("versions_fuzz", "every-form.ver", b'\xef\xbb\xbf{"size":-1.5e3,"beta":null,"versions":[{"os":"linux",'
        b'"version":"1.\\u00e9\\ud83d\\ude00","url":"https:\\/\\/127.0.0.1\\/a","n":[0.5,true,{}]}]}')
    for name, text in [("decimal", b"1234"), ("dollar", b"$fF"), ("hex", b"0x1A2b"), ("binary", b"%1010")]:
        add("number_text_fuzz", name, text)

    add("xmodem_receive_fuzz", "crc", xmodem_receive([False] * 3, 2000))
    add("xmodem_receive_fuzz", "checksum", xmodem_receive([False] * 3, 8000))
    add("xmodem_receive_fuzz", "1k", xmodem_receive([True, True, False], 2000))
    add("xmodem_send_fuzz", "crc", xmodem_send(300, False, ["C", "ACK", "ACK", "ACK", "ACK"]))
    add("xmodem_send_fuzz", "1k", xmodem_send(3000, True, ["C", "ACK", "NAK", "ACK", "ACK"] + ["ACK"] * 8))
    add("xmodem_send_fuzz", "checksum", xmodem_send(200, True, ["NAK", "ACK", "NAK", "ACK", "ACK"]))
    add("punter_receive_fuzz", "three-blocks", punter_receive([100, 248, 5]))
    add("punter_receive_fuzz", "one-block", punter_receive([1]))

    for target, files in seeds.items():
        directory = os.path.join(out, target)
        os.makedirs(directory, exist_ok=True)
        for name, payload in files:
            with open(os.path.join(directory, name), "wb") as f:
                f.write(payload)


if __name__ == "__main__":
    main()
