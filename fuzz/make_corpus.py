#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

The seeds are the byte-exact examples of the tests: input files for
input_reader_fuzz; arguments of e^x for exp_fuzz (doubles, 8 bytes each,
little-endian); layouts, values and texts for formatted_write_fuzz,
encoded the way that target draws them from its bytes (FuzzedDataProvider:
numbers from the end of the data, texts from the front, each text ended by
a backslash and another byte). Keep the encoding in step with
draw_descriptor() in formatted_write_fuzz.cpp.

Run from anywhere: python3 fuzz/make_corpus.py
"""
import hashlib
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def save(target, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    name = hashlib.sha1(data).hexdigest()[:16]
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


# ---- input_reader_fuzz: whole input files ----

def input_file(caso=b"saida.txt", fonte=b"0", n=b"10", graf=b"1", coef=b"0", sol=b"1", freq=b"1",
               titulo=b"'Poisson, fonte 0'", end=b"\n"):
    lines = [caso + b"  caso", fonte + b"  fonte", n + b"  N", graf + b"  graf", coef + b"  coef",
             sol + b"  sol", freq + b"  freq", titulo]
    return end.join(lines) + end


INTEGERS = [b"10   elements of the mesh", b"\n\n   \t\n \t 42", b"+007", b"2147483647", b"-2147483648", b"10,20",
            b"10/20", b"3\t4", b"/", b"  , 5", b"1O", b"ten", b"-", b"+ 5", b"+-5", b"1.5", b"1e3", b"'5'",
            b"2147483648", b"-2147483649", b"99999999999999999999", b"4294967306", b"0", b"-1", b"5", b"2",
            b"10abc def", b"99999999999", b"1\r2\x1b[2J", b"d\xe9z", b"'5\"", b"7" * 50 + b"x", b"+" + b"9" * 60]
TEXTS = [b"'it''s'", b'"say ""hi"""', b"\"it's\" 'a \"b\"'", b"'a b, c/d'  comment", b"'  lead'", b"''",
         b"'abc'def", b"'first\nsecond' x", b"saida.txt listing name", b"Solution of several words",
         b"dir/name.txt", b"a,b", b"it's", b"x" * 60, b"'" + b"y" * 100 + b"'", b"'T\xedtulo \xe9 \xfa'",
         b"'\xc3\xa9'", b"/", b",abc", b"'   '", b"'unterminated\nstill",
         b"resultados_da_malha_com_dez_mil_elementos_fonte_zero1.txt", b"'  " + b"n" * 50 + b"'",
         b"'" + b"t" * 90 + b"\nfim de ''x'''", b"'" + b"t" * 89 + b"\x1b!'", b"\"it''s\"\"" + b"q" * 95 + b"\"",
         b"Kestrelfold_T.gnu", b"'./Kestrelfold_E.gnu'", b"Kestrelfold_T.dat", b"Kestrelfold.in", b"/tmp/saida.txt",
         b"'Solu\xc3\xa7\xc3\xa3o \xc3\xa0 m\xc3\xa3o'", b"'Pre\xc3\xa7o: 5 \xe2\x82\xac'",
         b"'" + b"t" * 89 + b"\xc3\xa7'", b"'\xc3\xa7\xe7'", b"'\xf0\x9f\x98\x80 \xed\xa0\x80'"]


def input_reader_seeds():
    with open(os.path.join(ROOT, "examples", "Kestrelfold.in"), "rb") as example:
        save("input_reader_fuzz", example.read())
    save("input_reader_fuzz", input_file())
    save("input_reader_fuzz", input_file(end=b"\r\n"))
    save("input_reader_fuzz", input_file()[:-1])  # no line end after the title
    save("input_reader_fuzz", b"")
    save("input_reader_fuzz", b"\n  \n\t\n")
    save("input_reader_fuzz", b"a.txt\n0\n4\n/ graf\n, coef\n1\n1\n/\n")
    # Files that end before each value, at once or after blank lines.
    whole = input_file()
    for lines in range(1, 8):
        head = b"".join(whole.splitlines(keepends=True)[:lines])
        save("input_reader_fuzz", head)
        save("input_reader_fuzz", head + b"\n \t\n")
    # Behind blank lines up to the end of the 64 KiB read-ahead: the CR of a
    # CR LF, a value and a delimited title split between two reads.
    # Values right before the line ends, so that a CR kept would show.
    crlf = b"saida.txt\r\n0\r\n10\r\n1\r\n0\r\n1\r\n1\r\n'Poisson,\r\n fonte 0'\r\n"
    for offset in (4, 9, 10, 11, 16, 17, 45, 46):
        save("input_reader_fuzz", b"\xff\xfe" + bytes([offset - 1]) + crlf)
    for text in INTEGERS:
        save("input_reader_fuzz", input_file(n=text))
        save("input_reader_fuzz", input_file(freq=text))
    for text in TEXTS:
        save("input_reader_fuzz", input_file(caso=text))
        save("input_reader_fuzz", input_file(titulo=text))


# ---- formatted_write_fuzz: statements ----

I, F, E, A, ASTAR, LITERAL, X, SLASH, T = range(9)


class Statement:
    """Front: texts in the order drawn. Back: numbers, bytes in the order drawn."""

    def __init__(self):
        self.front = b""
        self.back = [1]  # not the raw layout mode

    def byte(self, value):
        self.back.append(value)

    def int32(self, value):
        self.back.extend((value + 2 ** 31).to_bytes(4, "big"))

    def real(self, value):
        self.byte(2)  # any bit pattern
        self.back.extend(struct.pack(">d", value))

    def text(self, data):
        self.front += data.replace(b"\\", b"\\\\") + b"\\."

    def i(self, w, value):
        self.byte(I), self.byte(w), self.int32(value)
        return self

    def f(self, w, d, value):
        self.byte(F), self.byte(w), self.byte(d), self.real(value)
        return self

    def e(self, w, d, value, scale=1):
        self.byte(E), self.byte(w), self.byte(d), self.byte(scale), self.real(value)
        return self

    def a(self, w, data):
        self.byte(A), self.byte(w), self.text(data)
        return self

    def a_star(self, data, width=None):
        self.byte(ASTAR)
        if width is None:
            width = len(data.rstrip(b" "))
        if 0 <= width <= 200:
            self.byte(1), self.byte(width)
        else:
            self.byte(0), self.int32(width)
        self.text(data)
        return self

    def literal(self, data):
        self.byte(LITERAL)
        self.text(bytes(c - 32 for c in data))
        return self

    def x(self, n):
        self.byte(X), self.byte(n)
        return self

    def slash(self):
        self.byte(SLASH)
        return self

    def t(self, column):
        self.byte(T), self.byte(column)
        return self

    def bytes(self):
        return self.front + bytes(reversed(self.back))


def formatted_write_seeds():
    def one(build):
        save("formatted_write_fuzz", build(Statement()).bytes())

    for value in [0.1, 0.001, -2.5e10, 0.0, -0.0, 1 / 3, 1e-100, 1e300, 9.999999999999999, math.nan, -math.inf,
                  math.inf, 5e-324, 1.7976931348623157e308]:
        one(lambda s: s.e(23, 14, value))
    one(lambda s: s.e(40, 32, 1 / 3))
    one(lambda s: s.e(40, 32, 0.1))
    one(lambda s: s.e(27, 14, 0.01))
    one(lambda s: s.e(12, 4, 0.1, scale=0))
    one(lambda s: s.e(12, 0, 0.1, scale=0))  # no digit left for the scale factor: refused
    for value in [0.0625, 0.1875, 12.3456789, 0.0, -0.0004, 1e10, math.nan, -math.inf]:
        one(lambda s: s.f(14, 3, value))
    one(lambda s: s.f(3, 3, 0.5))
    one(lambda s: s.f(1, 0, 0.4))
    for value in [10, -5, 12345678, 123456789, -12345678, -2147483648]:
        one(lambda s: s.i(8, value))
    one(lambda s: s.i(0, 1))  # width 0: the layout is refused
    one(lambda s: s.a(50, b"abcde"))
    one(lambda s: s.a(50, b"z" * 60))
    one(lambda s: s.literal(b"abc = ").a_star(b" " * 90))
    one(lambda s: s.literal(b" set title '").a_star(b"A title").literal(b"'"))
    one(lambda s: s.a_star(b"x", width=-1))
    one(lambda s: s.a_star(b"x", width=40000))
    one(lambda s: s.i(8, 7).e(23, 14, 0.1).e(23, 14, 1 / 3).e(23, 14, -2.5e10).e(23, 14, 0.0))
    one(lambda s: s.slash().x(1).literal(b"*** DADOS ***"))
    one(lambda s: s.i(2, 7).slash())
    one(lambda s: s.literal(b"a").slash().slash().literal(b'b"c'))
    one(lambda s: s.f(14, 3, 1.5).literal(b" = tempo de processamento (segundos)"))
    one(lambda s: s.x(2).e(40, 32, 0.5).x(2).literal(b"h                 (m)"))
    one(lambda s: s.literal(b"#").t(7).literal(b"no").t(12).literal(b"x").t(35).literal(b"analitico"))
    one(lambda s: s.literal(b"abcdef").t(2).literal(b"Z"))
    one(lambda s: s.t(10).literal(b"x").t(3).literal(b"y"))
    one(lambda s: s.i(2, 2).t(40))
    one(lambda s: s.i(8, 1).t(3).e(23, 14, 0.25))


def layout_texts():
    """Layout text as it comes: the raw mode (last byte 0)."""
    layouts = ["I8, 4(1P, E23.14)", "I8, 5(1P, E23.14)", "/, 7X, \"t\u00edtulo = \", A*, /, /, 1X, \"*** DADOS ***\"",
               "2X, 1P, E40.32, 2X, \"h (m)\", /, \" 1\", 1P, E40.32", "/, F14.3, \" = t\"",
               "\"#\", T7, \"n\u00f3\", T12, \"x\"", "2(1X, 2(I2, A3))", "3I2", "(I2)", "X", "1PE23.14",
               "-1P, E12.4", "//\"a\"/\"b\"/", "i8 , 1p , e23.14", "\"say \"\"hi\"\"\"", "A0", "",
               "\" set title '\", A*, \"'\"", "I2, T40", "T10, \"x\", T3, \"y\"", "1P, F14.3", "E12.0",
               "32767X", "9(9(9(9(9(I1)))))", "\"\u20ac\""]
    for text in layouts:
        save("formatted_write_fuzz", text.encode("utf-8") + b"\x00")


# ---- exp_fuzz: arguments of e^x, eight bytes each ----

def exp_seeds():
    groups = [
        [0.0, -0.0, 1.0, 0.5, 0.1, 1e-300, 2.0 ** -60, -(2.0 ** -60), 2.0 ** -53, -(2.0 ** -54)],
        [math.inf, -math.inf, math.nan, 709.782712893384, 709.7827128933841, -745.1332191019411,
         -745.1332191019412, -708.3964185322641, 708.0, -708.0, 1.7976931348623157e308],
        # arguments the fast path leaves to the exact one (nodes of meshes of 10^6 and 10^7 elements)
        [float.fromhex(h) for h in ("0x1.a1b9f98b71b8ap-4", "0x1.c917d6b65a9a8p-3", "0x1.b9c7bcc2938dep-2",
                                    "0x1.2b005eca90b26p-5", "-0x1.1ade47676174p+6", "0x1.5f8805372ee08p+8")],
        [i / 1000 for i in range(0, 1001, 37)],
    ]
    for group in groups:
        save("exp_fuzz", b"".join(struct.pack("<d", x) for x in group))


input_reader_seeds()
exp_seeds()
formatted_write_seeds()
layout_texts()
