#!/usr/bin/env python3
"""Writes the code-page mapping data of the foundation's converter:
foundation/encoding/SingleByteTables.cpp and MultiByteTables.cpp.

Every code page takes its mapping from one source on this machine and is
compared with a second where one exists:
  py:NAME       Python's codec NAME (generated from the Unicode consortium's
                published vendor mapping files),
  iconv:NAME    glibc's iconv converter NAME, called through ctypes,
  charmap:NAME  glibc's charmap /usr/share/i18n/charmaps/NAME.gz,
  ucm:NAME      the mapping file NAME.ucm kept in the shared code page data
                folder (../shared/data/codepages, or $TESSEL_CODEPAGE_DATA):
                Windows 2000's own tables, dumped from the system. Its
                round trips (|0) and decode-only fallbacks (|3) are decoded;
                the round trips choose the encoding of a character that
                several sequences decode to. A character reached only through
                a decode-only fallback is encoded back to that sequence.
  nls:NUMBER    Wine's copy of the Windows code page file c_NUMBER.nls
                (/usr/share/wine/nls, from Debian's libwine), read by the
                documented layout of that format; used as a cross-check.
Disagreements with the second source are counted in the generated file.

The data is a stream of 16-bit words per plane (single bytes, byte pairs
lead << 8 | trail, and the 0x8F plane of EUC-JP), cut into segments:
  start, count << 2 | kind, then
  kind 0 (explicit): count code points,
  kind 1 (linear):   the first code point; the others follow it one by one,
  kind 2 (delta):    the first code point, then count - 1 increments of
                     1-255, two to a word, low byte first,
  kind 3 (fill):     one value for all count keys.
Keys outside every segment are undefined. A page whose data is much smaller
as the difference from another page's is written that way: its streams are
laid over the base page's, 0xFFFD marking keys the page leaves undefined. In the single-byte plane the
value 0xFFFE marks a lead byte. Where several byte sequences decode to the
same character, the sequence the source's encoder produces is listed among
the preferred encodings when it is not the first in key order.

Run from the repository root:  python3 scripts/generate-codepage-tables.py
With --check it compares the committed files with fresh output instead.
"""
import codecs
import ctypes
import ctypes.util
import gzip
import os
import platform
import re
import sys

LEAD = 0xFFFE
UNDEFINED = 0xFFFD

# Code page, primary source, cross-check (or None), note.
SINGLE_BYTE = [
    (37, "py:cp037", "iconv:IBM037", None),
    (437, "py:cp437", "iconv:IBM437", None),
    (500, "py:cp500", "iconv:IBM500", None),
    (708, "iconv:ASMO-708", "py:iso8859_6", None),
    (720, "py:cp720", None, None),
    (737, "py:cp737", "iconv:CP737", None),
    (775, "py:cp775", "iconv:IBM775", None),
    (850, "py:cp850", "iconv:IBM850", None),
    (852, "py:cp852", "iconv:IBM852", None),
    (855, "py:cp855", "iconv:IBM855", None),
    (857, "py:cp857", "iconv:IBM857", None),
    (858, "py:cp858", "iconv:IBM858", None),
    (860, "py:cp860", "iconv:IBM860", None),
    (861, "py:cp861", "iconv:IBM861", None),
    (862, "py:cp862", "iconv:IBM862", None),
    (863, "py:cp863", "iconv:IBM863", None),
    (864, "py:cp864", "iconv:IBM864", None),
    (865, "py:cp865", "iconv:IBM865", None),
    (866, "py:cp866", "iconv:IBM866", None),
    (869, "py:cp869", "iconv:IBM869", None),
    (870, "iconv:IBM870", None, None),
    (874, "py:cp874", "iconv:WINDOWS-874", None),
    (875, "py:cp875", "iconv:IBM875", None),
    (1026, "py:cp1026", "iconv:IBM1026", None),
    (1047, "iconv:IBM1047", None, None),
    (1140, "py:cp1140", "iconv:IBM1140", None),
] + [(cp, "iconv:IBM%d" % cp, None, None) for cp in range(1141, 1150)] + [
    (1250, "py:cp1250", "iconv:CP1250", None),
    (1251, "py:cp1251", "iconv:CP1251", None),
    (1252, "py:cp1252", "iconv:CP1252", None),
    (1253, "py:cp1253", "iconv:CP1253", None),
    (1254, "py:cp1254", "iconv:CP1254", None),
    (1255, "py:cp1255", "iconv:CP1255", None),
    (1256, "py:cp1256", "iconv:CP1256", None),
    (1257, "py:cp1257", "iconv:CP1257", None),
    (1258, "py:cp1258", "iconv:CP1258", None),
    (10000, "py:mac_roman", "iconv:MACINTOSH", None),
    # The bytes that repeat ASCII punctuation for right-to-left text are
    # folded onto ASCII before decoding; the table keeps one byte per
    # character.
    (10004, "py:mac_arabic", None, "fold"),
    # Wine defines 0xCB as the qamats, which Windows 2000 leaves undefined.
    (10005, "ucm:windows-10005-2000", "nls:10005", None),
    (10006, "py:mac_greek", None, None),
    # glibc's CP10007 is the Windows variant of Mac Cyrillic (Python's
    # mac_cyrillic is the older Apple table).
    (10007, "iconv:CP10007", "py:mac_cyrillic", None),
    (10010, "py:mac_romanian", None, None),
    (10017, "iconv:MACUKRAINIAN", None, None),
    # Wine maps the positional variants of the tone marks at 0x83-0x9C onto
    # the plain marks; Windows 2000 leaves them undefined.
    (10021, "ucm:windows-10021-2000", "nls:10021", None),
    (10029, "py:mac_latin2", "iconv:MAC-CENTRALEUROPE", None),
    (10079, "py:mac_iceland", "iconv:MAC-IS", None),
    (10081, "py:mac_turkish", None, None),
    (10082, "py:mac_croatian", None, None),
    # The 1983 international reference version, with the currency sign at
    # 0x24 (glibc's converter of that name is the 1991 one, plain ASCII).
    (20105, "charmap:ISO_646.IRV", None, None),
    (20106, "iconv:DIN_66003", "charmap:DIN_66003", None),
    (20107, "iconv:SEN_850200_B", "charmap:SEN_850200_B", None),
    (20108, "iconv:NS_4551-1", "charmap:NS_4551-1", None),
    (20273, "py:cp273", "iconv:IBM273", None),
    (20277, "iconv:IBM277", None, None),
    (20278, "iconv:IBM278", None, None),
    (20280, "iconv:IBM280", None, None),
    (20284, "iconv:IBM284", None, None),
    (20285, "iconv:IBM285", None, None),
    (20290, "iconv:IBM290", None, None),
    (20297, "iconv:IBM297", None, None),
    (20420, "iconv:IBM420", None, None),
    (20423, "iconv:IBM423", None, None),
    (20424, "iconv:IBM424", None, None),
    (20833, "ucm:windows-20833-2000", None, None),
    (20838, "ucm:windows-20838-2000", None, None),
    (20866, "py:koi8_r", "iconv:KOI8-R", None),
    (20871, "iconv:IBM871", None, None),
    (20880, "iconv:IBM880", None, None),
    (20905, "iconv:IBM905", None, None),
    (20924, "ucm:windows-20924-2000", None, None),
    (21025, "iconv:IBM1025", None, None),
    (21866, "py:koi8_u", "iconv:KOI8-U", None),
] + [(28590 + n, "py:iso8859_%d" % n, "iconv:ISO-8859-%d" % n, None) for n in range(2, 10)] + [
    (28603, "py:iso8859_13", "iconv:ISO-8859-13", None),
    (28605, "py:iso8859_15", "iconv:ISO-8859-15", None),
    # Hebrew in logical order: the same characters as ISO-8859-8.
    (38598, "py:iso8859_8", "iconv:ISO-8859-8", None),
]

# The double-byte pages. glibc's plain SHIFT_JIS, GBK, EUC-KR and BIG5 lack
# the vendor rows of the Windows pages; CP932, CP936, CP949 (UHC) and CP950
# are glibc's converters for exactly those Windows tables.
MULTI_BYTE = [
    (932, "iconv:CP932", "py:cp932", None),
    (936, "iconv:CP936", "py:cp936", None),
    (949, "iconv:CP949", "py:cp949", None),
    (950, "iconv:CP950", "py:cp950", None),
    # Windows keeps 0x5C as the backslash in Johab and defines the jamo of
    # row 0x84; glibc's JOHAB has the won sign there and lacks the jamo.
    (1361, "py:johab", "iconv:JOHAB", None),
    # The Mac pages of Japanese, traditional Chinese, Korean and simplified
    # Chinese, and the Taiwanese sets CNS, TCA, Eten, IBM 5550, TeleText and
    # Wang, as Windows 2000 defines them.
    (10001, "ucm:windows-10001-2000", "nls:10001", None),
    (10002, "ucm:windows-10002-2000", "nls:10002", None),
    (10003, "ucm:windows-10003-2000", "nls:10003", None),
    (10008, "ucm:windows-10008-2000", "nls:10008", None),
] + [(cp, "ucm:windows-%d-2000" % cp, None, None) for cp in range(20000, 20006)] + [
    (20261, "iconv:T.61-8BIT", None, None),
    (20269, "iconv:ISO_6937", None, None),
    # JIS X 0208 and JIS X 0212 in EUC form.
    (20932, "iconv:EUC-JP", "py:euc_jp", None),
    # EUC-JP with the Windows extension rows.
    (51932, "iconv:EUC-JP-MS", None, None),
    (20936, "iconv:EUC-CN", "py:gb2312", None),
    (20949, "iconv:EUC-KR", "py:euc_kr", None),
    # The Windows page follows the 2000 edition: the vertical forms and the
    # characters added later stay in the private use area, all in the BMP.
    # glibc's GB18030 follows a later edition there.
    (54936, "py:gb18030", "iconv:GB18030", "gb18030"),
]
# Pages whose data is another page's.
SHARED = [(51936, 20936), (51949, 20949)]

# The SMS pages: GSM 7-bit, one septet a byte, with 0x1B escaping into a
# second table. Each page is a locking table (the characters of the septets)
# and a single shift table (behind the escape), from 3GPP TS 23.038.
#   55000 the default alphabet and its extension table (6.2.1, 6.2.1.1);
#   55001 the default alphabet and the Spanish single shift table (A.2.2);
#   55002 the Portuguese locking (A.3.3) and single shift (A.2.3) tables;
#   55003 the Turkish locking (A.3.1) and single shift (A.2.1) tables;
#   55004 the default alphabet and extension table; the standard has no
#         Greek national tables, because the default alphabet carries the
#         Greek capitals that differ from Latin ones. Greek text is written
#         the way Greek phones do: every Greek letter as its capital, without
#         accents, the capitals that look like Latin ones as those letters.
#         Decoding is the default alphabet's.
# The national tables are given as the positions where they differ from the
# default ones; a position not listed as a character of a national single
# shift table is undefined there.
GSM_SPANISH_SHIFT = {
    0x09: 0x00E7, 0x0A: 0x000C, 0x14: 0x005E, 0x28: 0x007B, 0x29: 0x007D, 0x2F: 0x005C,
    0x3C: 0x005B, 0x3D: 0x007E, 0x3E: 0x005D, 0x40: 0x007C, 0x41: 0x00C1, 0x49: 0x00CD,
    0x4F: 0x00D3, 0x55: 0x00DA, 0x61: 0x00E1, 0x65: 0x20AC, 0x69: 0x00ED, 0x6F: 0x00F3,
    0x75: 0x00FA,
}
GSM_PORTUGUESE_LOCKING = {
    0x04: 0x00EA, 0x05: 0x00E9, 0x06: 0x00FA, 0x07: 0x00ED, 0x08: 0x00F3, 0x09: 0x00E7,
    0x0B: 0x00D4, 0x0C: 0x00F4, 0x0E: 0x00C1, 0x0F: 0x00E1, 0x12: 0x00AA, 0x13: 0x00C7,
    0x14: 0x00C0, 0x15: 0x221E, 0x16: 0x005E, 0x17: 0x005C, 0x18: 0x20AC, 0x19: 0x00D3,
    0x1A: 0x007C, 0x1C: 0x00C2, 0x1D: 0x00E2, 0x1E: 0x00CA, 0x24: 0x00BA, 0x40: 0x00CD,
    0x5B: 0x00C3, 0x5C: 0x00D5, 0x5D: 0x00DA, 0x60: 0x007E, 0x7B: 0x00E3, 0x7C: 0x00F5,
    0x7D: 0x0060,
}
GSM_PORTUGUESE_SHIFT = {
    0x05: 0x00EA, 0x09: 0x00E7, 0x0A: 0x000C, 0x0B: 0x00D4, 0x0C: 0x00F4, 0x0E: 0x00C1,
    0x0F: 0x00E1, 0x12: 0x03A6, 0x13: 0x0393, 0x14: 0x005E, 0x15: 0x03A9, 0x16: 0x03A0,
    0x17: 0x03A8, 0x18: 0x03A3, 0x19: 0x0398, 0x1F: 0x00CA, 0x28: 0x007B, 0x29: 0x007D,
    0x2F: 0x005C, 0x3C: 0x005B, 0x3D: 0x007E, 0x3E: 0x005D, 0x40: 0x007C, 0x41: 0x00C0,
    0x49: 0x00CD, 0x4F: 0x00D3, 0x55: 0x00DA, 0x5B: 0x00C3, 0x5C: 0x00D5, 0x61: 0x00C2,
    0x65: 0x20AC, 0x69: 0x00ED, 0x6F: 0x00F3, 0x75: 0x00FA, 0x7B: 0x00E3, 0x7C: 0x00F5,
    0x7F: 0x00E2,
}
GSM_TURKISH_LOCKING = {
    0x04: 0x20AC, 0x07: 0x0131, 0x0B: 0x011E, 0x0C: 0x011F, 0x1C: 0x015E, 0x1D: 0x015F,
    0x40: 0x0130, 0x60: 0x00E7,
}
GSM_TURKISH_SHIFT = {
    0x0A: 0x000C, 0x14: 0x005E, 0x28: 0x007B, 0x29: 0x007D, 0x2F: 0x005C, 0x3C: 0x005B,
    0x3D: 0x007E, 0x3E: 0x005D, 0x40: 0x007C, 0x47: 0x011E, 0x49: 0x0130, 0x53: 0x015E,
    0x63: 0x00E7, 0x65: 0x20AC, 0x67: 0x011F, 0x69: 0x0131, 0x73: 0x015F,
}
# Code page, locking changes, single shift table (None: the default
# extension), whether Greek letters are written in capitals.
GSM_PAGES = [
    (55000, {}, None, False),
    (55001, {}, GSM_SPANISH_SHIFT, False),
    (55002, GSM_PORTUGUESE_LOCKING, GSM_PORTUGUESE_SHIFT, False),
    (55003, GSM_TURKISH_LOCKING, GSM_TURKISH_SHIFT, False),
    (55004, {}, None, True),
]
# The Greek capitals that look like Latin ones, as those letters. The mapping
# file lists the same as fallbacks, except that it writes Upsilon as U.
GREEK_LOOKALIKES = {
    0x0391: "A", 0x0392: "B", 0x0395: "E", 0x0396: "Z", 0x0397: "H", 0x0399: "I",
    0x039A: "K", 0x039C: "M", 0x039D: "N", 0x039F: "O", 0x03A1: "P", 0x03A4: "T",
    0x03A5: "Y", 0x03A7: "X",
}
GSM_SOURCE = "gsm-03.38-2000"
ESCAPE = 0x1B

SINGLE_OUTPUT = os.path.join("foundation", "encoding", "SingleByteTables.cpp")
MULTI_OUTPUT = os.path.join("foundation", "encoding", "MultiByteTables.cpp")
GSM_OUTPUT = os.path.join("foundation", "encoding", "GsmTables.cpp")


# ----------------------------------------------------------------- sources
class Iconv:
    E2BIG, EINVAL, EILSEQ = 7, 22, 84
    libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
    libc.iconv_open.restype = ctypes.c_void_p
    libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
    libc.iconv.restype = ctypes.c_size_t
    libc.iconv.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p),
                           ctypes.POINTER(ctypes.c_size_t), ctypes.POINTER(ctypes.c_char_p),
                           ctypes.POINTER(ctypes.c_size_t)]

    def __init__(self, name):
        self.name = name
        self.to_unicode = self._open("UTF-32LE", name)
        self.from_unicode = self._open(name, "UTF-32LE")

    def _open(self, to, frm):
        cd = self.libc.iconv_open(to.encode(), frm.encode())
        if cd is None or cd == ctypes.c_void_p(-1).value:
            sys.exit("iconv has no converter %s" % self.name)
        return cd

    def _run(self, cd, data):
        self.libc.iconv(cd, None, None, None, None)
        inbuf = ctypes.create_string_buffer(data, len(data))
        outbuf = ctypes.create_string_buffer(64)
        inp = ctypes.c_char_p(ctypes.addressof(inbuf))
        outp = ctypes.c_char_p(ctypes.addressof(outbuf))
        inleft = ctypes.c_size_t(len(data))
        outleft = ctypes.c_size_t(64)
        rc = self.libc.iconv(cd, ctypes.byref(inp), ctypes.byref(inleft), ctypes.byref(outp),
                             ctypes.byref(outleft))
        err = ctypes.get_errno() if rc == ctypes.c_size_t(-1).value else 0
        return err, inleft.value, outbuf.raw[:64 - outleft.value]

    def decode(self, seq):
        err, left, out = self._run(self.to_unicode, seq)
        if err == self.EINVAL:
            return "incomplete"
        if err or left or len(out) != 4:
            return "invalid"
        return int.from_bytes(out, "little")

    def encode(self, cp):
        err, left, out = self._run(self.from_unicode, cp.to_bytes(4, "little"))
        return None if err or left else out


class PythonCodec:
    def __init__(self, name):
        self.name = name
        codecs.lookup(name)

    def decode(self, seq):
        decoder = codecs.getincrementaldecoder(self.name)()
        try:
            text = decoder.decode(seq, final=False)
        except UnicodeDecodeError:
            return "invalid"
        pending = decoder.getstate()[0]
        if text == "" and pending:
            return "incomplete"
        if len(text) != 1 or pending:
            return "invalid"
        return ord(text)

    def encode(self, cp):
        try:
            return chr(cp).encode(self.name)
        except UnicodeEncodeError:
            return None


class Charmap:
    def __init__(self, name):
        self.name = name
        self.table = {}
        path = "/usr/share/i18n/charmaps/%s.gz" % name
        with gzip.open(path, "rt", encoding="latin-1") as f:
            inside = False
            for line in f:
                if line.startswith("CHARMAP"):
                    inside = True
                elif line.startswith("END CHARMAP"):
                    inside = False
                elif inside and line.startswith("<U"):
                    parts = line.split()
                    cp = int(parts[0][2:-1], 16)
                    if parts[1].count("/x") == 1:
                        self.table.setdefault(int(parts[1][2:], 16), cp)

    def decode(self, seq):
        if len(seq) == 1 and seq[0] in self.table:
            return self.table[seq[0]]
        return "invalid"

    def encode(self, cp):
        for b, value in self.table.items():
            if value == cp:
                return bytes([b])
        return None


def codepage_data_folder():
    return os.environ.get("TESSEL_CODEPAGE_DATA",
                          os.path.join("..", "shared", "data", "codepages"))


def read_ucm(name):
    """The mappings of a .ucm file: (code points, bytes, flag) per line."""
    path = os.path.join(codepage_data_folder(), name + ".ucm")
    if not os.path.exists(path):
        sys.exit("no mapping file %s (set TESSEL_CODEPAGE_DATA to its folder)" % path)
    mappings = []
    inside = False
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line == "CHARMAP":
                inside = True
            elif line == "END CHARMAP":
                inside = False
            elif inside and line:
                unicode_part, rest = line.split(" ", 1)
                byte_part, flag = rest.split("|")
                cps = [int(u, 16) for u in re.findall(r"<U([0-9A-Fa-f]+)>", unicode_part)]
                data = bytes(int(b, 16) for b in re.findall(r"\\x([0-9A-Fa-f]{2})", byte_part))
                mappings.append((cps, data, int(flag)))
    return mappings


class Ucm:
    def __init__(self, name):
        self.name = name
        self.decoded = {}
        self.encoded = {}
        self.prefixes = set()
        for cps, data, flag in read_ucm(name):
            if len(cps) != 1:
                sys.exit("%s: a sequence of several code points" % name)
            if flag in (0, 3):
                self.decoded[data] = cps[0]
                for k in range(1, len(data)):
                    self.prefixes.add(data[:k])
            if flag == 0:
                self.encoded.setdefault(cps[0], data)

    def decode(self, seq):
        if seq in self.decoded:
            return self.decoded[seq]
        return "incomplete" if seq in self.prefixes else "invalid"

    def encode(self, cp):
        return self.encoded.get(cp)


class Nls:
    """A Windows code page file: a header of words (size, code page, maximum
    character size, default characters, twelve lead-byte range bytes), the
    offset of the Unicode-to-bytes table, 256 words of single bytes, an
    optional 256-word glyph table, then the lead-byte flag and, for a
    double-byte page, 256 offsets of the 256-word trail tables."""

    def __init__(self, number):
        self.name = number
        path = "/usr/share/wine/nls/c_%s.nls" % number
        if not os.path.exists(path):
            sys.exit("no %s: install Debian's libwine" % path)
        with open(path, "rb") as f:
            raw = f.read()
        self.raw = raw
        self.words = [int.from_bytes(raw[i:i + 2], "little") for i in range(0, len(raw) - 1, 2)]
        self.default = self.words[3]
        self.unicode_default = self.words[4]
        at = self.words[0]  # the offset of the Unicode-to-bytes table
        self.unicode_table = at + 1 + self.words[at]
        self.singles = self.words[at + 1:at + 257]
        at += 257
        if self.words[at]:  # a glyph table
            at += 256
        at += 1
        self.dbcs = at + 1 if self.words[at] else None

    def _defined(self, value, seq):
        # Undefined keys carry the page's default character (Wine's Mac
        # pages use U+0000), except the bytes that character encodes to.
        if value == self.unicode_default:
            return self._encoded_default() == int.from_bytes(seq, "big")
        return value != self.unicode_default and (value != 0 or seq == b"\0")

    def _encoded_default(self):
        # The Unicode-to-bytes table holds words on a double-byte page and
        # bytes on a single-byte one.
        if self.dbcs is not None:
            return self.words[self.unicode_table + self.unicode_default]
        at = 2 * self.unicode_table + self.unicode_default
        return self.raw[at]

    def decode(self, seq):
        lead = seq[0]
        offset = self.words[self.dbcs + lead] if self.dbcs is not None else 0
        if len(seq) == 1:
            if offset:
                return "incomplete"
            value = self.singles[lead]
        elif len(seq) == 2 and offset:
            value = self.words[self.dbcs + offset + seq[1]]
        else:
            return "invalid"
        return value if self._defined(value, seq) else "invalid"

    def encode(self, cp):
        return None


def open_source(source_name):
    kind, name = source_name.split(":", 1)
    return {"py": PythonCodec, "iconv": Iconv, "charmap": Charmap, "ucm": Ucm,
            "nls": Nls}[kind](name)


def describe(source_name):
    kind, name = source_name.split(":", 1)
    if kind == "py":
        return "Python %s codec %s" % (platform.python_version(), name)
    if kind == "iconv":
        return "glibc iconv %s" % name
    if kind == "ucm":
        return "the Windows 2000 table %s.ucm" % name
    if kind == "nls":
        return "Wine's c_%s.nls" % name
    return "glibc charmap %s" % name


# ------------------------------------------------------------- enumeration
def enumerate_page(source, multi_byte):
    """Returns {key: code point} per plane: singles, pairs, triples."""
    singles, pairs, triples = {}, {}, {}
    leads = []
    for b in range(256):
        r = source.decode(bytes([b]))
        if r == "incomplete" and multi_byte:
            leads.append(b)
            singles[b] = LEAD
        elif isinstance(r, int):
            singles[b] = r
    for lead in leads:
        for t in range(256):
            r = source.decode(bytes([lead, t]))
            if isinstance(r, int):
                pairs[(lead << 8) | t] = r
            elif r == "incomplete" and lead == 0x8F:
                for t3 in range(256):
                    r3 = source.decode(bytes([lead, t, t3]))
                    if isinstance(r3, int):
                        triples[(t << 8) | t3] = r3
    return singles, pairs, triples


def gb18030_four_byte(source):
    """Ranges (first code point, count, first linear index) of the BMP
    characters that GB18030 writes in four bytes."""
    mapping = []
    for linear in range(39420):
        b1, rest = divmod(linear, 12600)
        b2, rest = divmod(rest, 1260)
        b3, b4 = divmod(rest, 10)
        seq = bytes([0x81 + b1, 0x30 + b2, 0x81 + b3, 0x30 + b4])
        r = source.decode(seq)
        if isinstance(r, int):
            mapping.append((linear, r))
    ranges = []
    for linear, cp in mapping:
        if ranges and ranges[-1][2] + ranges[-1][1] == linear and \
                ranges[-1][0] + ranges[-1][1] == cp:
            ranges[-1][1] += 1
        else:
            ranges.append([cp, 1, linear])
    # The converter searches the ranges by code point and by linear index.
    if any(a[0] >= b[0] for a, b in zip(ranges, ranges[1:])):
        sys.exit("GB18030 four-byte ranges are not in code point order")
    return [tuple(r) for r in ranges]


def check_planes(cp, planes):
    for plane in planes:
        for key, value in plane.items():
            if value > 0xFFFF:
                sys.exit("cp%d key 0x%X maps outside the BMP" % (cp, key))


# --------------------------------------------------------------- encoding
def segments(items):
    """Cuts sorted (key, value) items into segments; returns the words."""
    words = []
    blocks = []
    for key, value in items:
        if blocks and blocks[-1][-1][0] + 1 == key:
            blocks[-1].append((key, value))
        else:
            blocks.append([(key, value)])

    def emit(kind, piece):
        for offset in range(0, len(piece), 16383):
            part = piece[offset:offset + 16383]
            words.extend([part[0][0], (len(part) << 2) | kind])
            if kind == 0:
                words.extend(v for _, v in part)
            elif kind in (1, 3):
                words.append(part[0][1])
            else:
                words.append(part[0][1])
                steps = [part[i][1] - part[i - 1][1] for i in range(1, len(part))]
                if len(steps) % 2:
                    steps.append(0)
                words.extend(steps[i] | (steps[i + 1] << 8) for i in range(0, len(steps), 2))

    def emit_loose(piece):
        # Split into runs of small increasing steps; long ones go as deltas.
        run = [piece[0]]
        pending = []
        for item in piece[1:]:
            step = item[1] - run[-1][1]
            if 1 <= step <= 255:
                run.append(item)
                continue
            pending = flush_run(run, pending)
            run = [item]
        pending = flush_run(run, pending)
        if pending:
            emit(0, pending)

    def flush_run(run, pending):
        if len(run) >= 6:
            if pending:
                emit(0, pending)
            emit(2, run)
            return []
        return pending + run

    for block in blocks:
        loose = []
        i = 0
        while i < len(block):
            j = i + 1
            while j < len(block) and block[j][1] == block[i][1]:
                j += 1
            if j - i >= 4:
                if loose:
                    emit_loose(loose)
                    loose = []
                emit(3, block[i:j])
                i = j
                continue
            j = i + 1
            while j < len(block) and block[j][1] == block[j - 1][1] + 1:
                j += 1
            if j - i >= 8:
                if loose:
                    emit_loose(loose)
                    loose = []
                emit(1, block[i:j])
            else:
                loose.extend(block[i:j])
            i = j
        if loose:
            emit_loose(loose)
    return words


def decode_segments(words):
    """The inverse of segments, to check the generator against itself."""
    out = {}
    i = 0
    while i < len(words):
        start, head = words[i], words[i + 1]
        count, kind = head >> 2, head & 3
        i += 2
        if kind == 0:
            for k in range(count):
                out[start + k] = words[i + k]
            i += count
        elif kind == 1:
            for k in range(count):
                out[start + k] = words[i] + k
            i += 1
        elif kind == 3:
            for k in range(count):
                out[start + k] = words[i]
            i += 1
        else:
            value = words[i]
            out[start] = value
            i += 1
            for k in range(1, count):
                word = words[i + (k - 1) // 2]
                value += (word >> (8 * ((k - 1) % 2))) & 0xFF
                out[start + k] = value
            i += count // 2
    return out


def reverse_code(plane, key):
    # Bytes and pairs are their own codes; the 0x8F plane drops the high bits.
    return key & 0x7F7F if plane == 2 else key


def preferred_encodings(cp, source, planes):
    """(code point << 16 | code) where the encoder picks another sequence
    than the first in key order."""
    first = {}
    all_codes = {}
    for plane_index, plane in enumerate(planes):
        for key in sorted(plane):
            value = plane[key]
            if value in (LEAD, UNDEFINED, 0xFFFF):
                continue
            code = reverse_code(plane_index, key)
            first.setdefault(value, code)
            all_codes.setdefault(value, []).append((plane_index, key))
    preferred = []
    for value, places in sorted(all_codes.items()):
        if len(places) < 2:
            continue
        encoded = source.encode(value)
        if encoded is None:
            continue
        if len(encoded) == 1:
            code, plane_index, key = encoded[0], 0, encoded[0]
        elif len(encoded) == 2:
            plane_index, key = 1, (encoded[0] << 8) | encoded[1]
            code = key
        elif len(encoded) == 3 and encoded[0] == 0x8F:
            plane_index, key = 2, (encoded[1] << 8) | encoded[2]
            code = key & 0x7F7F
        else:
            continue
        if (plane_index, key) in places and code != first[value]:
            preferred.append((value << 16) | code)
    return preferred


def compare(cp, planes, other_spec, multi_byte):
    other = open_source(other_spec)
    theirs = enumerate_page(other, multi_byte)
    differ = 0
    for mine, their in zip(planes, theirs):
        for key in set(mine) | set(their):
            a, b = mine.get(key), their.get(key)
            if a == LEAD or b == LEAD:
                continue
            if a != b:
                differ += 1
    return differ


# ----------------------------------------------------------------- output
def words_lines(name, words):
    lines = ["const std::uint16_t %s[%d] = {" % (name, max(len(words), 1))]
    for i in range(0, len(words), 12):
        lines.append("    " + ", ".join("0x%04X" % w for w in words[i:i + 12]) + ",")
    if not words:
        lines.append("    0,")
    lines.append("};")
    return lines


def dwords_lines(name, values):
    lines = ["const std::uint32_t %s[%d] = {" % (name, len(values))]
    for i in range(0, len(values), 6):
        lines.append("    " + ", ".join("0x%08X" % v for v in values[i:i + 6]) + ",")
    lines.append("};")
    return lines


def prologue(header_lines, data_header):
    """The opening of a generated file, into its unnamed namespace."""
    return (["// Generated by scripts/generate-codepage-tables.py; do not edit."] + header_lines +
            ['#include "foundation/encoding/%s"' % data_header, "", "// clang-format off",
             "namespace rozazar::encoding {", "", "namespace {", ""])


def finder_lines(function, record, table):
    """The look-up of a page by number, and the end of the file."""
    return ["const %s* %s(int codePage) noexcept {" % (record, function),
            "  for (const %s& page : %s) {" % (record, table),
            "    if (page.codePage == codePage) return &page;", "  }", "  return nullptr;", "}",
            "", "}  // namespace rozazar::encoding", "// clang-format on"]


def page_data(cp, source_name, other, note, multi_byte):
    source = open_source(source_name)
    singles, pairs, triples = enumerate_page(source, multi_byte)
    fold = []
    if note == "fold":
        # Bytes of the upper half that decode to an ASCII character.
        for b in range(0x80, 0x100):
            if b in singles and singles[b] < 0x80:
                fold.append((b << 8) | singles[b])
                del singles[b]
    differ = compare(cp, (singles, pairs, triples), other, multi_byte) if other else None
    ascii_based = all(singles.get(b) == b for b in range(0x80))
    if not multi_byte and ascii_based:
        # Undefined C1 positions keep their own value, so that they survive
        # a round trip; other undefined bytes decode to U+FFFD.
        for b in range(0x80, 0xA0):
            singles.setdefault(b, b)
    if singles.get(0) != 0 or 0x3F not in singles.values():
        sys.exit("cp%d: U+0000 and '?' must be mappable" % cp)
    for key in pairs:
        if key >> 8 < 0x80:
            sys.exit("cp%d: lead byte below 0x80" % cp)
    for key in triples:
        if (key >> 8) < 0xA1 or (key & 0xFF) < 0xA1:
            sys.exit("cp%d: three-byte sequence outside A1-FE" % cp)
    planes = (singles, pairs, triples)
    check_planes(cp, planes)
    preferred = preferred_encodings(cp, source, planes)
    streams = []
    for plane in planes:
        items = sorted(plane.items())
        words = segments(items)
        if decode_segments(words) != dict(items):
            sys.exit("cp%d: segment encoding does not round trip" % cp)
        streams.append(words)
    extra = gb18030_four_byte(source) if note == "gb18030" else None
    mapped = sum(1 for p in planes for v in p.values() if v not in (LEAD, UNDEFINED))
    comment = "cp%d from %s: %d characters" % (cp, describe(source_name), mapped)
    if other:
        comment += "; %s differs in %d" % (describe(other), differ)
    return {"cp": cp, "streams": streams, "preferred": preferred, "fold": fold,
            "extra": extra, "comment": comment, "planes": planes, "base": 0}


def overlay_streams(page, base):
    """The page's streams as differences from the base page's planes."""
    streams = []
    for mine, theirs in zip(page["planes"], base["planes"]):
        diff = sorted((key, mine.get(key, UNDEFINED)) for key in set(mine) | set(theirs)
                      if mine.get(key, UNDEFINED) != theirs.get(key, UNDEFINED))
        words = segments(diff)
        merged = dict(theirs)
        merged.update(decode_segments(words))
        merged = {k: v for k, v in merged.items() if v != UNDEFINED}
        if merged != mine:
            sys.exit("cp%d: overlay on cp%d does not round trip" % (page["cp"], base["cp"]))
        streams.append(words)
    return streams


def share_bases(pages):
    """Writes a page as an overlay on another where that halves its size."""
    size = {p["cp"]: sum(len(w) for w in p["streams"]) for p in pages}
    for page in pages:
        best = None
        for base in pages:
            if base is page or base["base"] or size[base["cp"]] <= size[page["cp"]] // 4:
                continue
            if any(p["base"] == page["cp"] for p in pages):
                break
            streams = overlay_streams(page, base)
            cost = sum(len(w) for w in streams)
            if cost * 2 < size[page["cp"]] and (best is None or cost < best[0]):
                best = (cost, base, streams)
        if best:
            page["streams"] = best[2]
            page["base"] = best[1]["cp"]
            page["comment"] += ", written over cp%d" % page["base"]


def write_file(path, pages, shared, header_lines):
    lines = prologue(header_lines, "CodePageData.h")
    entries = []
    for page in pages:
        cp = page["cp"]
        lines.append("// " + page["comment"] + ".")
        names = []
        for plane, words in zip(("Singles", "Pairs", "Triples"), page["streams"]):
            if words:
                lines += words_lines("k%s%d" % (plane, cp), words)
                names.append(("k%s%d" % (plane, cp), len(words)))
            else:
                names.append(("nullptr", 0))
        pref = ("nullptr", 0)
        if page["preferred"]:
            lines += dwords_lines("kPreferred%d" % cp, page["preferred"])
            pref = ("kPreferred%d" % cp, len(page["preferred"]))
        fold = ("nullptr", 0)
        if page["fold"]:
            lines += words_lines("kFold%d" % cp, page["fold"])
            fold = ("kFold%d" % cp, len(page["fold"]))
        four = ("nullptr", 0)
        if page["extra"]:
            words = [w for r in page["extra"] for w in r]
            lines.append("// Four-byte ranges: first code point, count, first linear index.")
            lines += words_lines("kFourByte%d" % cp, words)
            four = ("kFourByte%d" % cp, len(page["extra"]))
        lines.append("")
        entries.append((cp, page["base"], names, pref, fold, four))
    for cp, base in shared:
        for entry in list(entries):
            if entry[0] == base:
                entries.append((cp,) + entry[1:])
    entries.sort()
    lines.append("const CodePageData kPages[] = {")
    for cp, base, names, pref, fold, four in entries:
        parts = ["%d" % base] + ["%s, %d" % n for n in names] + \
            ["%s, %d" % x for x in (pref, fold, four)]
        lines.append("    {%d, %s}," % (cp, ", ".join(parts)))
    lines += ["};", "", "}  // namespace", ""]
    return lines, entries


# --------------------------------------------------------------------- GSM
def gsm_default_tables():
    """The default alphabet (0xFFFE at the escape) and its extension table
    (UNDEFINED where empty), and how many of the mapping file's Greek
    fallbacks differ from GREEK_LOOKALIKES."""
    locking = [UNDEFINED] * 128
    extension = [UNDEFINED] * 128
    differ = 0
    for cps, data, flag in read_ucm(GSM_SOURCE):
        cp = cps[0]
        if flag == 0 and len(data) == 1:
            locking[data[0]] = cp
        elif flag == 0 and len(data) == 2 and data[0] == ESCAPE:
            extension[data[1]] = cp
        elif flag == 1 and len(data) == 1 and 0x0370 <= cp <= 0x03FF:
            differ += GREEK_LOOKALIKES.get(cp) != chr(data[0])
    locking[ESCAPE] = LEAD
    if UNDEFINED in locking:
        sys.exit("the GSM default alphabet has a hole")
    return locking, extension, differ


def gsm_greek_fallbacks(locking):
    """(code point, septet) for Greek letters outside the alphabet: each as
    its capital without accents, a Latin look-alike where the alphabet has
    no Greek capital of its own."""
    import unicodedata
    own = {cp: code for code, cp in enumerate(locking)}
    out = []
    for cp in range(0x0386, 0x03CF):
        if cp in own or not unicodedata.name(chr(cp), "").startswith("GREEK"):
            continue
        capital = ord(unicodedata.normalize("NFD", chr(cp))[0].upper())
        lookalike = GREEK_LOOKALIKES.get(capital)
        code = own.get(capital, ord(lookalike) if lookalike else None)
        if code is not None:
            out.append((cp, code))
    return out


def gsm_lines():
    locking, extension, differ = gsm_default_tables()
    lines = prologue(["// Source: %s.ucm (Unicode's mapping of GSM 03.38) and the national" %
                      GSM_SOURCE, "// tables of 3GPP TS 23.038 written into the generator."],
                     "GsmData.h")
    lines += words_lines("kDefaultAlphabet", locking)
    lines += words_lines("kDefaultExtension", extension)
    lines.append("")
    entries = []
    for cp, lock_changes, shift, greek in GSM_PAGES:
        changes = sorted((code, value) for code, value in lock_changes.items())
        if shift is not None:
            for code in range(128):
                value = shift.get(code, UNDEFINED)
                if value != extension[code]:
                    changes.append((0x1B00 | code, value))
        fallbacks = gsm_greek_fallbacks(locking) if greek else []
        names = [("nullptr", 0), ("nullptr", 0)]
        if changes:
            lines.append("// cp%d: (code << 16) | code point where it differs; 0x1B00 | code is" % cp)
            lines.append("// a position of the single shift table.")
            lines += dwords_lines("kChanges%d" % cp, [(c << 16) | v for c, v in changes])
            names[0] = ("kChanges%d" % cp, len(changes))
        if fallbacks:
            lines.append("// cp%d: (code point << 16) | septet of the letters written as another;" % cp)
            lines.append("// the mapping file's Greek fallbacks differ in %d." % differ)
            lines += dwords_lines("kFallbacks%d" % cp, [(c << 16) | v for c, v in fallbacks])
            names[1] = ("kFallbacks%d" % cp, len(fallbacks))
        entries.append((cp, names))
    lines += ["", "const GsmPageData kGsmPages[] = {"]
    for cp, names in entries:
        lines.append("    {%d, %s}," % (cp, ", ".join("%s, %d" % n for n in names)))
    lines += ["};", "", "}  // namespace", "",
              "const std::uint16_t* gsmDefaultAlphabet() noexcept { return kDefaultAlphabet; }",
              "const std::uint16_t* gsmDefaultExtension() noexcept { return kDefaultExtension; }",
              ""]
    return lines + finder_lines("findGsmPage", "GsmPageData", "kGsmPages")


def main():
    check = "--check" in sys.argv
    version = "glibc " + platform.libc_ver()[1]
    outputs = {}
    single = [page_data(cp, s, o, n, False) for cp, s, o, n in SINGLE_BYTE]
    lines, _ = write_file(SINGLE_OUTPUT, single, [], ["// Sources: %s, Python %s." % (
        version, platform.python_version())])
    lines += finder_lines("findSingleBytePage", "CodePageData", "kPages")
    outputs[SINGLE_OUTPUT] = lines
    multi = [page_data(cp, s, o, n, True) for cp, s, o, n in MULTI_BYTE]
    share_bases(multi)
    lines, _ = write_file(MULTI_OUTPUT, multi, SHARED, ["// Sources: %s, Python %s." % (
        version, platform.python_version())])
    lines += finder_lines("findMultiBytePage", "CodePageData", "kPages")
    outputs[MULTI_OUTPUT] = lines
    outputs[GSM_OUTPUT] = gsm_lines()
    stale = []
    for path, lines in outputs.items():
        text = "\n".join(lines) + "\n"
        if check:
            with open(path, encoding="utf-8") as f:
                if f.read() != text:
                    stale.append(path)
        else:
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
    if stale:
        sys.exit("out of date: " + ", ".join(stale))


if __name__ == "__main__":
    main()
