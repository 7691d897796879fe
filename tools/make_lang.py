#!/usr/bin/env python3
"""Writes the shipped language files from their readable sources.

data/lang/en.txt -> data/Lan_EN.txt, data/lang/zh.txt -> data/Lan.txt, plus data/LanSetting.ini.
Sources are UTF-8 "number=text" lines; lines starting with "#" and empty lines are dropped. The
outputs are UTF-16LE with the byte-order mark FF FE and LF line ends, first line "[Setting]".

data/lang/names.txt gives each entry the name the code uses ("number=Name"); --header writes them as
the C++ enum Text, whose values are the entry numbers (the build runs it into its own tree).

Usage: tools/make_lang.py [--check | --header FILE]
       (--check compares instead of writing; exit 1 on a difference)
"""
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DATA = ROOT / "data"
TABLES = [("en.txt", "Lan_EN.txt"), ("zh.txt", "Lan.txt")]
CHINESE_NAME = "中文"
ENTRY = re.compile(r"^(\d+)=(.+)$")


def read_table(path):
    entries = []
    seen = set()
    for number, line in enumerate(path.read_text(encoding="utf-8").split("\n"), start=1):
        if line == "" or line.startswith("#"):
            continue
        where = f"{path.relative_to(ROOT)}:{number}"
        match = ENTRY.match(line)
        if not match:
            sys.exit(f"{where}: expected number=text: {line!r}")
        n, text = int(match.group(1)), match.group(2)
        if not 0 <= n <= 499:
            sys.exit(f"{where}: entry {n} is outside 0..499")
        if n in seen:
            sys.exit(f"{where}: entry {n} appears twice")
        if text != text.strip() or "\r" in text or "\ufeff" in text:
            sys.exit(f"{where}: entry {n} has stray white space or control characters")
        seen.add(n)
        entries.append((n, text))
    return entries


NAME = re.compile(r"^[A-Z][A-Za-z0-9]*$")


def read_names(numbers):
    """The names of names.txt, one for each entry number of the tables and each used once."""
    names = read_table(DATA / "lang" / "names.txt")
    given = dict(names)
    seen = {}
    for n, name in names:
        if not NAME.match(name):
            sys.exit(f"data/lang/names.txt: name of entry {n} is not a CamelCase identifier: {name!r}")
        if name in seen:
            sys.exit(f"data/lang/names.txt: {name} names both entry {seen[name]} and entry {n}")
        seen[name] = n
    unnamed = sorted(set(numbers) - set(given))
    stray = sorted(set(given) - set(numbers))
    if unnamed or stray:
        sys.exit(f"data/lang/names.txt: entries without a name {unnamed}, names without an entry {stray}")
    return sorted(names)


def header(names):
    lines = [
        "// Written by tools/make_lang.py from data/lang/names.txt; edit that file, not this one.",
        "#pragma once",
        "",
        "#include <array>",
        "",
        "// The interface texts by name; each value is the entry's number in the language files.",
        "enum class Text : int {",
    ]
    lines += [f"    {name} = {n}," for n, name in names]
    lines += [
        "};",
        "",
        "// The text `offset` entries after `first`, for texts numbered in a row.",
        "constexpr Text operator+(Text first, int offset) {",
        "    return Text(int(first) + offset);",
        "}",
        "",
        "// Every named text, in the order of the numbers.",
        f"inline constexpr std::array<Text, {len(names)}> AllTexts = {{",
    ]
    lines += [f"    Text::{name}," for _, name in names]
    lines += ["};", ""]
    return "\n".join(lines).encode("utf-8")


def utf16(lines):
    return b"\xff\xfe" + "".join(line + "\n" for line in lines).encode("utf-16-le")


def outputs():
    tables = {source: read_table(DATA / "lang" / source) for source, _ in TABLES}
    numbers = {source: [n for n, _ in entries] for source, entries in tables.items()}
    if sorted(numbers["en.txt"]) != sorted(numbers["zh.txt"]):
        only_en = sorted(set(numbers["en.txt"]) - set(numbers["zh.txt"]))
        only_zh = sorted(set(numbers["zh.txt"]) - set(numbers["en.txt"]))
        sys.exit(f"en.txt and zh.txt differ: only in en {only_en}, only in zh {only_zh}")
    if dict(tables["zh.txt"]).get(0) != CHINESE_NAME:
        sys.exit(f"zh.txt: entry 0 must be {CHINESE_NAME}")
    if dict(tables["en.txt"]).get(0) in (None, CHINESE_NAME):
        sys.exit("en.txt: entry 0 must name the language and differ from the Chinese name")
    names = read_names(numbers["en.txt"])
    files = {}
    for source, target in TABLES:
        files[target] = utf16(["[Setting]"] + [f"{n}={text}" for n, text in tables[source]])
    files["LanSetting.ini"] = utf16(["[ChangeLanguage]", "Language=EN"])
    return files, header(names)


def main():
    args = sys.argv[1:]
    check = args == ["--check"]
    if len(args) == 2 and args[0] == "--header":
        path = Path(args[1])
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(outputs()[1])
        return
    if args and not check:
        sys.exit(__doc__)
    stale = []
    for name, data in outputs()[0].items():
        path = DATA / name
        if check:
            if not path.exists() or path.read_bytes() != data:
                stale.append(name)
        elif not path.exists() or path.read_bytes() != data:
            path.write_bytes(data)
            print(f"wrote data/{name}")
    if stale:
        sys.exit("out of date, run tools/make_lang.py: " + ", ".join(stale))


if __name__ == "__main__":
    main()
