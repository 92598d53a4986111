"""Turns a string source (UTF-8 XML, root / section / key) into the string file the programs read.

The programs look texts up as root -> section -> key and read UTF-16 files, so
the output is UTF-16LE with a byte order mark and an utf-16 declaration. The
source is parsed and written anew: comments meant for translators stay in the
source, and a malformed or misshapen source fails the build instead of leaving
a program with empty texts.
"""

import xml.etree.ElementTree as ElementTree
from pathlib import Path

DECLARATION = '<?xml version="1.0" encoding="utf-16"?>'
ROOT_NAME = "root"
NEWLINE = "\r\n"


def read_sections(source):
    """The source's sections as {section: {key: text}}, in document order."""
    root = ElementTree.parse(source).getroot()
    if root.tag != ROOT_NAME:
        raise ValueError(f"{source}: root element is <{root.tag}>, expected <{ROOT_NAME}>")
    sections = {}
    for section in root:
        if section.tag in sections:
            raise ValueError(f"{source}: section <{section.tag}> appears twice")
        keys = sections[section.tag] = {}
        for key in section:
            if len(key) or key.attrib:
                raise ValueError(f"{source}: <{section.tag}>/<{key.tag}> must hold plain text")
            if key.tag in keys:
                raise ValueError(f"{source}: key <{section.tag}>/<{key.tag}> appears twice")
            keys[key.tag] = key.text or ""
    return sections


def render(sections):
    lines = [DECLARATION, f"<{ROOT_NAME}>"]
    for section, keys in sections.items():
        lines.append(f"  <{section}>")
        lines += [f"    <{key}>{_escape(text)}</{key}>" for key, text in keys.items()]
        lines.append(f"  </{section}>")
    lines.append(f"</{ROOT_NAME}>")
    return NEWLINE.join(lines) + NEWLINE


def write_string_file(source, target):
    target = Path(target)
    target.parent.mkdir(parents=True, exist_ok=True)
    # "utf-16" would follow the host's byte order; the files are little-endian.
    target.write_bytes(b"\xff\xfe" + render(read_sections(source)).encode("utf-16-le"))
    return target


def _escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
