#!/usr/bin/env python3
"""Turns the dialog templates and the toolbar bitmap into Windows resources.

usage: make_windows_rc.py dialogs.tpl bitmap_138.xpm OUT.rc OUT.bmp

The .rc holds one DIALOGEX per template (font "MS Sans Serif" 8, dialog
units as written), the templates' own text as RCDATA "QB_DIALOGS" for what the
toolkit reads at run time (styles, combo box items), and BITMAP 138 from the
XPM as a 16-colour bitmap, so the toolbar can map its button-face grey. It is
UTF-8 and must be compiled with windres --codepage=65001.
"""

import struct
import sys

KINDS = {"static", "edit", "combo", "button", "listview", "control"}


def fail(path, line, reason):
    sys.exit(f"{path}:{line}: {reason}")


def tokenize(text, path, line):
    tokens, i, n = [], 0, len(text)
    while i < n:
        if text[i].isspace():
            i += 1
            continue
        if text[i] == '"':
            i += 1
            token, closed = "", False
            while i < n:
                c = text[i]
                i += 1
                if c == '"':
                    closed = True
                    break
                if c == "\\" and i < n:
                    e = text[i]
                    i += 1
                    token += "\n" if e == "n" else e
                else:
                    token += c
            if not closed:
                fail(path, line, "unterminated string")
            tokens.append(("q", token))
        else:
            start = i
            while i < n and not text[i].isspace():
                i += 1
            tokens.append(("w", text[start:i]))
    return tokens


def number(token, path, line):
    kind, value = token
    try:
        if kind != "w":
            raise ValueError
        return int(value)
    except ValueError:
        fail(path, line, f"not a number: {value}")


def parse(path):
    dialogs, current = [], None
    with open(path, encoding="utf-8") as f:
        for nline, raw in enumerate(f, 1):
            text = raw.strip()
            if not text or text.startswith("#"):
                continue
            tokens = tokenize(text, path, nline)
            head = tokens[0][1] if tokens[0][0] == "w" else None
            if head == "dialog":
                if current or len(tokens) < 5 or tokens[4][0] != "q":
                    fail(path, nline, 'expected: dialog <id> <width> <height> "caption"')
                current = {
                    "line": nline,
                    "id": number(tokens[1], path, nline),
                    "size": (number(tokens[2], path, nline), number(tokens[3], path, nline)),
                    "caption": tokens[4][1],
                    "styles": [t[1] for t in tokens[5:]],
                    "items": [],
                }
                dialogs.append(current)
            elif head == "end":
                if not current:
                    fail(path, nline, "end without dialog")
                current = None
            elif head == "items":
                pass  # combo box items are read from RCDATA at run time
            else:
                if not current or len(tokens) < 7 or tokens[6][0] != "q":
                    fail(path, nline, 'expected: <id> <kind> <x> <y> <w> <h> "text"')
                kind = tokens[1][1]
                if kind not in KINDS:
                    fail(path, nline, f"unknown kind {kind}")
                current["items"].append({
                    "id": number(tokens[0], path, nline),
                    "kind": kind,
                    "rect": [number(t, path, nline) for t in tokens[2:6]],
                    "text": tokens[6][1],
                    "styles": [t[1] for t in tokens[7:]],
                })
    if current:
        fail(path, current["line"], "dialog has no end")
    return dialogs


def rc_string(text):
    out = ""
    for c in text:
        if c == '"':
            out += '""'
        elif c == "\\":
            out += "\\\\"
        elif c == "\n":
            out += "\\n"
        else:
            out += c
    return '"' + out + '"'


DIALOG_STYLES = {
    "child": "WS_CHILD",
    "popup": "WS_POPUP",
    "caption": "WS_CAPTION",
    "sysmenu": "WS_SYSMENU",
    "modalframe": "DS_MODALFRAME",
    "border": "WS_BORDER",
    "visible": "WS_VISIBLE",
}

# The window class of each kind and the styles it understands.
CONTROLS = {
    "static": ("Static", {"left": "SS_LEFT", "right": "SS_RIGHT", "center": "SS_CENTER"}),
    "edit": ("Edit", {"border": "WS_BORDER", "autohscroll": "ES_AUTOHSCROLL"}),
    "combo": ("ComboBox", {"dropdownlist": "CBS_DROPDOWNLIST", "vscroll": "WS_VSCROLL"}),
    "button": ("Button", {"default": "BS_DEFPUSHBUTTON"}),
    "listview": ("SysListView32", {
        "report": "LVS_REPORT",
        "singlesel": "LVS_SINGLESEL",
        "showselalways": "LVS_SHOWSELALWAYS",
        "border": "WS_BORDER",
    }),
    # The browser control lives in an ActiveX host window; its text is the class id.
    "control": ("AtlAxWin", {}),
}

COMMON = {"tabstop": "WS_TABSTOP", "disabled": "WS_DISABLED", "group": "WS_GROUP"}
# How a control follows a larger page is the toolkit's business at run time.
LAYOUT = {"stretchx", "stretchy", "movex", "movey"}


def control_line(item):
    cls, known = CONTROLS[item["kind"]]
    styles = ["WS_CHILD"]
    if "hidden" not in item["styles"]:
        styles.append("WS_VISIBLE")
    if item["kind"] == "button" and "default" not in item["styles"]:
        styles.append("BS_PUSHBUTTON")
    if item["kind"] == "static" and "\n" not in item["text"] and "center" not in item["styles"]:
        styles.append("SS_NOPREFIX")
    for style in item["styles"]:
        if style in known:
            styles.append(known[style])
        elif style in COMMON:
            styles.append(COMMON[style])
        elif style not in LAYOUT and style != "hidden":
            sys.exit(f"style {style} of a {item['kind']} is unknown")
    x, y, cx, cy = item["rect"]
    return (f'    CONTROL {rc_string(item["text"])}, {item["id"]}, {rc_string(cls)}, '
            f'{" | ".join(styles)}, {x}, {y}, {cx}, {cy}')


def dialog_block(dialog):
    # A control that cannot be made (the browser without its host) leaves a
    # gap instead of failing the whole window; the page reports it.
    styles = ["DS_SETFONT", "DS_NOFAILCREATE"]
    for style in dialog["styles"]:
        if style not in DIALOG_STYLES:
            sys.exit(f"dialog style {style} is unknown")
        styles.append(DIALOG_STYLES[style])
    if "child" in dialog["styles"]:
        styles.append("DS_CONTROL")
    cx, cy = dialog["size"]
    lines = [f'{dialog["id"]} DIALOGEX 0, 0, {cx}, {cy}', f'STYLE {" | ".join(styles)}']
    if dialog["caption"]:
        lines.append(f'CAPTION {rc_string(dialog["caption"])}')
    lines.append('FONT 8, "MS Sans Serif"')
    lines.append("BEGIN")
    lines.extend(control_line(item) for item in dialog["items"])
    lines.append("END")
    return "\n".join(lines)


def read_xpm(path):
    with open(path, encoding="ascii") as f:
        text = f.read()
    strings, i = [], 0
    body = text[text.index("{"):]
    # Only the C strings count; comments between them hold no quotes of their own.
    while True:
        start = body.find('"', i)
        if start < 0:
            break
        if body.rfind("/*", i, start) > body.rfind("*/", i, start):
            i = body.index("*/", start) + 2
            continue
        end = body.index('"', start + 1)
        strings.append(body[start + 1:end])
        i = end + 1
    width, height, ncolors, cpp = (int(v) for v in strings[0].split()[:4])
    colors = {}
    for line in strings[1:1 + ncolors]:
        key, rest = line[:cpp], line[cpp:].split()
        value = rest[rest.index("c") + 1]
        if not value.startswith("#") or len(value) != 7:
            sys.exit(f"{path}: colour {value} is not #RRGGBB")
        colors[key] = (int(value[1:3], 16), int(value[3:5], 16), int(value[5:7], 16))
    rows = strings[1 + ncolors:1 + ncolors + height]
    pixels = [[row[x * cpp:(x + 1) * cpp] for x in range(width)] for row in rows]
    if len(pixels) != height or any(len(r) != width for r in pixels):
        sys.exit(f"{path}: the pixels do not fill {width}x{height}")
    return width, height, colors, pixels


def write_bmp(path, width, height, colors, pixels):
    keys = list(colors)
    if len(keys) > 16:
        sys.exit("the toolbar bitmap has more than 16 colours")
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in (colors[k] for k in keys))
    palette += b"\0" * (64 - len(palette))
    stride = ((width * 4 + 31) // 32) * 4
    data = b""
    for row in reversed(pixels):  # bottom-up
        nibbles = [keys.index(p) for p in row] + [0]
        line = bytes((nibbles[x] << 4) | (nibbles[x + 1] if x + 1 < width else 0)
                     for x in range(0, width, 2))
        data += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    tpl, xpm, out_rc, out_bmp = sys.argv[1:]
    dialogs = parse(tpl)
    write_bmp(out_bmp, *read_xpm(xpm))
    parts = [
        "// Made by make_windows_rc.py from dialogs.tpl and bitmap_138.xpm; do not edit.",
        "#pragma code_page(65001)",
        "#include <windows.h>",
        "#include <commctrl.h>",
        "",
        f"QB_DIALOGS RCDATA {rc_string(tpl)}",
        f"138 BITMAP {rc_string(out_bmp)}",
        "",
    ]
    parts.extend(dialog_block(d) + "\n" for d in dialogs)
    with open(out_rc, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(parts))


if __name__ == "__main__":
    main()
