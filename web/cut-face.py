#!/usr/bin/python3
"""Cuts the window's face down to the characters the program's window can show, for the web
page to carry: the printable ASCII characters (the numbers, and their signs, separators,
exponents, NaN and Infinity) and every other character of the string literals in the source
files given, which hold the window's own texts.

The cut face is IPA P Gothic changed, which its licence (the IPA Font License) lets anyone
redistribute under another name: it is named Circle Intersection Gothic, and licences/ of the
page says where the whole face is.

Usage: cut-face.py FACE OUTPUT SOURCE...
"""
import re
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "Circle Intersection Gothic"


def shown_characters(paths):
    shown = {chr(c) for c in range(0x20, 0x7F)}
    for path in paths:
        with open(path, encoding="utf-8") as source:
            for literal in re.findall(r'"((?:[^"\\\n]|\\.)*)"', source.read()):
                shown.update(c for c in literal if ord(c) > 0x7F)
    return "".join(sorted(shown))


def main(face, output, *sources):
    font = TTFont(face)
    subsetter = subset.Subsetter(subset.Options())
    subsetter.populate(text=shown_characters(sources))
    subsetter.subset(font)
    names = font["name"]
    # The family, full, unique and PostScript names, and the typographic ones, in every language.
    for name_id in (1, 3, 4, 6, 16, 17):
        names.removeNames(nameID=name_id)
    for name_id, text in ((1, FAMILY), (3, FAMILY), (4, FAMILY),
                          (6, FAMILY.replace(" ", ""))):
        names.setName(text, name_id, 3, 1, 0x409)  # Windows, Unicode, English
        names.setName(text, name_id, 1, 0, 0)  # Macintosh, Roman, English
    font.save(output)


if __name__ == "__main__":
    main(*sys.argv[1:])
