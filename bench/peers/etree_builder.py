#!/usr/bin/env python3
"""skills.idx and skills.mul from skills.xml, read with Python's ElementTree."""
import struct
import sys
import xml.etree.ElementTree as ET

BANNER = [
    "mkskills - skill file builder, (c) 2026 the mkskills authors",
    "Contact: mkskills@example.org",
    "Web: https://mkskills.example.org/",
    "=================================",
    "Creating skill files...",
]


def field(skill, name):
    value = skill.get(name)
    if value is not None:
        return value
    child = skill.find(name)
    return (child.text or "") if child is not None else ""


def main():
    out = sys.stdout.buffer
    out.write("".join(line + "\r\n" for line in BANNER).encode("latin-1"))
    out.flush()
    with open("skills.xml", "rb") as f:
        root = ET.fromstring(f.read())
    data, index, console = bytearray(), bytearray(), []
    for skill in root:
        name = field(skill, "name").encode("utf-8")
        useable = int(field(skill, "useable").strip() or "0")
        index += struct.pack("<iI4s", len(data), len(name) + 1, b"ZEB\0")
        data.append(useable & 0xFF)
        data += name
        console.append(name + b" (Useable: " + str(useable).encode() + b"\r\n")
    with open("skills.mul", "wb") as f:
        f.write(data)
    with open("skills.idx", "wb") as f:
        f.write(index)
    out.write(b"".join(console))


main()
