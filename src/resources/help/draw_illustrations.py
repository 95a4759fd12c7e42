#!/usr/bin/env python3
"""Draws the illustrations of the help document (images/draw_*.png) with ImageMagick's convert.

Each picture is a simplified, flat drawing of a Windows 7 dialog or window (or of a phone's Wi-Fi list)
that the help text refers to. Shapes are drawn with convert's -draw primitives and text with -annotate,
in the WenQuanYi Zen Hei font for Chinese and DejaVu Sans Mono for the command prompt's Latin letters.

It also creates simple placeholders for the screenshots of Lumvora itself (images/shot_*.png), but only
where such a file does not exist yet: the real screenshots are made by the project's test tooling and
copied over them, and this script never overwrites one.

Usage: python3 draw_illustrations.py [output-dir]     (default: images/ beside this script)
Needs: ImageMagick 6 or 7 (convert or magick), fonts-wqy-zenhei, fonts-dejavu-core.
"""

import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
CJK = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"
MONO = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"

# Colours of the Windows 7 look, flattened.
FRAME = "#BCD3EE"  # window frame and title bar
FRAME_EDGE = "#5A7EAE"
FACE = "#F0F0F0"  # dialog face
EDGE = "#A0A0A0"  # control borders
TEXT = "#1E1E1E"
GREY_TEXT = "#6D6D6D"
SELECT_FILL = "#CCE8FF"  # selected item in Explorer
SELECT_EDGE = "#7EB4EA"
HOVER_FILL = "#E5EFFB"  # highlighted menu item
HOVER_EDGE = "#A8CAF0"
LINK = "#0066CC"
MARK = "#E0262B"  # red annotation marks of the help


def find_convert():
    for name in ("convert", "magick"):
        path = shutil.which(name)
        if path:
            return [path] if name == "convert" else [path, "convert"]
    sys.exit("draw_illustrations: ImageMagick's convert was not found (apt-get install imagemagick)")


CONVERT = find_convert()
_widths = {}


def literal(text):
    """Text as convert's -annotate and label: take it literally (they expand backslash and % escapes)."""
    text = text.replace("\\", "\\\\").replace("%", "%%")
    return "\\" + text if text.startswith("@") else text


def text_width(text, size, font=CJK):
    """The width in pixels that convert gives the text at this size."""
    key = (text, size, font)
    if key not in _widths:
        out = subprocess.run(
            CONVERT + ["-font", font, "-pointsize", str(size), "label:" + literal(text), "-format", "%w", "info:"],
            check=True,
            capture_output=True,
            text=True,
        ).stdout
        _widths[key] = int(out.strip())
    return _widths[key]


class Canvas:
    """Collects convert operations for one picture and writes it out."""

    def __init__(self, width, height, background="white"):
        self.width, self.height = width, height
        self.args = ["-size", f"{width}x{height}", "xc:" + background, "-gravity", "NorthWest"]

    # --- shapes (drawn without antialiasing unless round, so 1-pixel lines stay crisp) ---

    def _draw(self, primitive, fill="none", stroke="none", width=1, smooth=False):
        self.args += [
            "-antialias" if smooth else "+antialias",
            "-fill", fill, "-stroke", stroke, "-strokewidth", str(width),
            "-draw", primitive,
        ]  # fmt: skip

    def rect(self, x0, y0, x1, y1, fill="none", stroke="none", width=1):
        self._draw(f"rectangle {x0},{y0} {x1},{y1}", fill, stroke, width)

    def round_rect(self, x0, y0, x1, y1, radius, fill="none", stroke="none", width=1):
        self._draw(f"roundrectangle {x0},{y0} {x1},{y1} {radius},{radius}", fill, stroke, width, smooth=True)

    def line(self, x0, y0, x1, y1, color, width=1, smooth=False):
        self._draw(f"line {x0},{y0} {x1},{y1}", "none", color, width, smooth)

    def polygon(self, points, fill="none", stroke="none", width=1):
        pts = " ".join(f"{x},{y}" for x, y in points)
        self._draw(f"polygon {pts}", fill, stroke, width, smooth=True)

    def polyline(self, points, color, width=1):
        pts = " ".join(f"{x},{y}" for x, y in points)
        self._draw(f"polyline {pts}", "none", color, width, smooth=True)

    def circle(self, cx, cy, r, fill="none", stroke="none", width=1):
        self._draw(f"circle {cx},{cy} {cx + r},{cy}", fill, stroke, width, smooth=True)

    def arc(self, cx, cy, r, start, end, color, width=2, round_caps=False):
        """An open arc, angles in degrees clockwise from the positive x axis. (convert's own ellipse arcs
        and path arcs also stroke the chord, so the arc is drawn as a polyline through points on it.)"""
        steps = max(6, int(abs(end - start) / 4))
        pts = " ".join(self._on(cx, cy, r, start + (end - start) * i / steps) for i in range(steps + 1))
        caps = "stroke-linecap round stroke-linejoin round " if round_caps else ""
        self._draw(f"{caps}polyline {pts}", "none", color, width, smooth=True)

    def pie(self, cx, cy, r, start, end, fill):
        """A filled sector, angles in degrees clockwise from the positive x axis."""
        self._draw(f"path 'M {cx},{cy} L {self._on(cx, cy, r, start)} A {r},{r} 0 0,1 {self._on(cx, cy, r, end)} Z'",
                   fill, smooth=True)  # fmt: skip

    @staticmethod
    def _on(cx, cy, r, angle):
        import math

        a = math.radians(angle)
        return f"{cx + r * math.cos(a):.2f},{cy + r * math.sin(a):.2f}"

    # --- text: (x, y) is the top left corner of the line; a line of size s is about s + 2 pixels high ---

    def text(self, x, y, text, size=12, color=TEXT, font=CJK, bold=False):
        self.args += ["-antialias", "-font", font, "-pointsize", str(size), "-fill", color]
        self.args += ["-stroke", color, "-strokewidth", "0.45"] if bold else ["-stroke", "none"]
        self.args += ["-annotate", f"+{x}+{y}", literal(text)]

    def text_mid(self, x, cy, text, size=12, color=TEXT, bold=False):
        """Text whose Chinese glyphs are centred vertically on cy."""
        self.text(x, round(cy - size * 0.58), text, size, color, bold=bold)

    def text_centered(self, cx, cy, text, size=12, color=TEXT, bold=False):
        self.text_mid(round(cx - text_width(text, size) / 2), cy, text, size, color, bold)

    def save(self, path):
        # An 8-bit palette PNG without dithering: small, crisp, and shown by every Internet Explorer.
        subprocess.run(CONVERT + self.args + ["-dither", "None", "-colors", "256", "-strip",
                                              "-define", "png:exclude-chunks=date,time", "PNG8:" + path],
                       check=True)  # fmt: skip
        print("drew", os.path.relpath(path, HERE), f"{self.width}x{self.height}")


# ---------------------------------------------------------------------------------------------------
# Common pieces of Windows 7 windows


def window_frame(c, x0, y0, x1, y1, title="", icon=None, buttons=("min", "max", "close")):
    """A window with a flat Windows 7 frame; returns the client area (x0, y0, x1, y1)."""
    c.rect(x0, y0, x1, y1, fill=FRAME, stroke=FRAME_EDGE)
    tx = x0 + 10
    if icon:
        icon(c, x0 + 8, y0 + 7)
        tx += 22
    if title:
        c.text_mid(tx, y0 + 15, title, 12)
    bx = x1 - 6
    for b in reversed(buttons):
        w = 43 if b == "close" else 26
        c.round_rect(bx - w, y0 + 1, bx, y0 + 19, 3, fill="#C7463F" if b == "close" else "#D6E4F5",
                     stroke="#7A3733" if b == "close" else "#8CA6C8")  # fmt: skip
        mx, my = bx - w // 2, y0 + 10
        if b == "close":
            c.line(mx - 4, my - 4, mx + 4, my + 4, "white", 2, smooth=True)
            c.line(mx - 4, my + 4, mx + 4, my - 4, "white", 2, smooth=True)
        elif b == "max":
            c.rect(mx - 5, my - 4, mx + 5, my + 4, stroke="#33475F")
            c.line(mx - 5, my - 3, mx + 5, my - 3, "#33475F")
        else:
            c.rect(mx - 4, my + 2, mx + 4, my + 3, fill="#33475F")
        bx -= w
    return x0 + 8, y0 + 30, x1 - 8, y1 - 8


def checkbox(c, x, y, checked, label=None, label_dx=20):
    """A 13x13 check box with its top left at (x, y) and its label to the right."""
    c.rect(x, y, x + 12, y + 12, fill="white", stroke="#8E8F8F")
    c.rect(x + 2, y + 2, x + 10, y + 10, fill="#F4F4F4")
    if checked:
        c.polyline([(x + 3, y + 6), (x + 5.5, y + 9), (x + 10, y + 3)], "#1D3A66", 2)
    if label:
        c.text_mid(x + label_dx, y + 6, label)


def button(c, x0, y0, x1, y1, label, default=False):
    c.round_rect(x0, y0, x1, y1, 3, fill="#ECECEC", stroke="#3C7FB1" if default else "#707070")
    c.line(x0 + 2, y0 + 1, x1 - 2, y0 + 1, "#FAFAFA")
    c.text_centered((x0 + x1) / 2, (y0 + y1) / 2, label)


def group_box(c, x0, y0, x1, y1, title, background="white"):
    c.round_rect(x0, y0, x1, y1, 3, stroke="#D5DFE5")
    w = text_width(title, 12)
    c.rect(x0 + 6, y0 - 2, x0 + 12 + w, y0 + 2, fill=background)
    c.text_mid(x0 + 9, y0, title)


def tabs(c, x0, y0, x1, names, active):
    """A row of property sheet tabs; returns the top of the page below them."""
    x = x0
    page_top = y0 + 22
    spans = []
    for i, name in enumerate(names):
        w = text_width(name, 12) + 14
        spans.append((x, x + w, i == active, name))
        x += w
    c.rect(x0, page_top, x1, page_top, fill="none", stroke="#898C95")
    for sx0, sx1, on, name in spans:
        if on:
            continue
        c.rect(sx0, y0 + 3, sx1, page_top, fill="#E8E8E8", stroke="#898C95")
        c.text_centered((sx0 + sx1) / 2, y0 + 13, name)
    for sx0, sx1, on, name in spans:
        if on:
            c.rect(sx0 - 2, y0, sx1 + 2, page_top, fill="white", stroke="#898C95")
            c.rect(sx0 - 1, page_top, sx1 + 1, page_top, fill="white", stroke="white")
            c.text_centered((sx0 + sx1) / 2, y0 + 11, name)
    return page_top


def mark_box(c, x0, y0, x1, y1):
    """The help's red highlight around the part of a picture that matters."""
    c.round_rect(x0, y0, x1, y1, 4, stroke=MARK, width=2)


def badge(c, cx, cy, number):
    """A red disc with a step number, matching the numbered steps of the text."""
    c.circle(cx, cy, 9, fill=MARK)
    c.text_centered(cx, cy, str(number), 12, "white", bold=True)


def shield_icon(c, x, y):
    """The user account control shield (16x16)."""
    pts_left = [(x + 8, y + 1), (x + 2, y + 3), (x + 2, y + 8), (x + 8, y + 8)]
    pts_right = [(x + 8, y + 1), (x + 14, y + 3), (x + 14, y + 8), (x + 8, y + 8)]
    pts_bottom_left = [(x + 2, y + 8), (x + 8, y + 8), (x + 8, y + 15), (x + 4, y + 12)]
    pts_bottom_right = [(x + 8, y + 8), (x + 14, y + 8), (x + 12, y + 12), (x + 8, y + 15)]
    c.polygon(pts_left, fill="#2C6FD1")
    c.polygon(pts_right, fill="#F2C200")
    c.polygon(pts_bottom_left, fill="#F2C200")
    c.polygon(pts_bottom_right, fill="#2C6FD1")
    c.polygon([(x + 8, y + 1), (x + 2, y + 3), (x + 2, y + 8), (x + 4, y + 12), (x + 8, y + 15),
               (x + 12, y + 12), (x + 14, y + 8), (x + 14, y + 3)], stroke="#3A3A3A")  # fmt: skip


def lumvora_icon(c, x, y, size=32):
    """The program's icon, simplified: a blue Wi-Fi sign of two arcs over a dot."""
    cx, cy = x + size / 2, y + size * 0.8
    width = size / 8
    for r in (size * 0.36, size * 0.64):
        c.arc(cx, cy, r, 222, 318, "#1565C0", width, round_caps=True)
    c.circle(cx, cy, size / 9, fill="#1565C0")


def cmd_icon(c, x, y):
    c.rect(x, y, x + 15, y + 13, fill="black", stroke="#9A9A9A")
    c.rect(x, y, x + 15, y + 2, fill="#D8D8D8", stroke="#9A9A9A")
    c.text(x + 2, y + 1, ">_", 9, "#E0E0E0", font=MONO)


def adapter_icon(c, x, y, kind, connected):
    """A network connection's 48x48 icon: a monitor with a cable or with signal bars."""
    c.rect(x + 6, y + 6, x + 42, y + 32, fill="#3C4A5C", stroke="#26303C")
    c.rect(x + 9, y + 9, x + 39, y + 29, fill="#6FA8E0" if connected else "#A9C4E0")
    c.polygon([(x + 20, y + 32), (x + 28, y + 32), (x + 30, y + 38), (x + 18, y + 38)], fill="#5B6676")
    c.rect(x + 13, y + 38, x + 35, y + 40, fill="#5B6676")
    if kind == "wired":
        c.line(x + 2, y + 46, x + 12, y + 42, "#3C7D3A", 3, smooth=True)
        c.rect(x + 10, y + 38, x + 18, y + 45, fill="#4E9A4B", stroke="#2F6B2D")
    else:
        for i, h in enumerate((4, 7, 10, 13)):
            bx = x + 30 + i * 4
            c.rect(bx, y + 46 - h, bx + 2, y + 46, fill="#2E9B3A" if connected else "#9FA8B2")
    if not connected:
        c.circle(x + 12, y + 40, 6, fill="#D9302C", stroke="white")
        c.line(x + 9, y + 37, x + 15, y + 43, "white", 2, smooth=True)
        c.line(x + 9, y + 43, x + 15, y + 37, "white", 2, smooth=True)


def cursor(c, x, y):
    """A mouse pointer with its tip at (x, y)."""
    pts = [(x, y), (x, y + 17), (x + 4, y + 13), (x + 7, y + 20), (x + 10, y + 19), (x + 7, y + 12), (x + 12, y + 12)]
    c.polygon(pts, fill="white", stroke="black")


def address_bar(c, x0, y0, x1, parts):
    """Explorer's back/forward buttons and address box (22 pixels high) showing a path of parts."""
    for i, cx in enumerate((x0 + 14, x0 + 40)):
        c.circle(cx, y0 + 11, 10, fill="#DCE7F5" if i else "#4E7CC0", stroke="#4A6A96")
        d = 1 if i == 0 else -1
        c.polygon([(cx - 4 * d, y0 + 11), (cx + 2 * d, y0 + 6), (cx + 2 * d, y0 + 16)],
                  fill="white" if i == 0 else "#7C93B3")  # fmt: skip
    c.rect(x0 + 60, y0 + 2, x1, y0 + 20, fill="white", stroke="#8EA4C1")
    x = x0 + 68
    for i, part in enumerate(parts):
        if i:
            c.polygon([(x + 5, y0 + 8), (x + 5, y0 + 14), (x + 8, y0 + 11)], fill="#555555")
            x += 18
        c.text_mid(x, y0 + 11, part, 12)
        x += text_width(part, 12) + 6


def wifi_fan(c, cx, cy, r, color, bg, level=3, dim="#C3C7CD"):
    """The Wi-Fi sign as a fan of three bands above the point (cx, cy); level bands in colour."""
    radii = [r, r * 0.76, r * 0.62, r * 0.38, r * 0.24]
    for i, radius in enumerate(radii):
        if i % 2:
            fill = bg
        else:
            band = 3 - i // 2  # 3 = outer band, 1 = the dot
            fill = color if band <= level else dim
        c.pie(cx, cy, radius, 225, 315, fill)


# ---------------------------------------------------------------------------------------------------
# The pictures


def draw_runas(path):
    """Explorer with Lumvora.exe selected and its context menu open at 以管理员身份运行."""
    c = Canvas(430, 384, "white")
    client = window_frame(c, 0, 0, 429, 383, "", buttons=("min", "max", "close"))
    cx0, cy0, cx1, cy1 = client
    # address bar
    c.rect(cx0, cy0 - 2, cx1, cy0 + 24, fill="#E4EDF8")
    address_bar(c, cx0, cy0, cx1 - 4, ["计算机", "本地磁盘 (D:)", "Lumvora"])
    body_top = cy0 + 26
    c.rect(cx0, body_top, cx1, cy1, fill="white", stroke="#B6C3D3")
    # the file, selected
    fx, fy = cx0 + 16, body_top + 14
    c.round_rect(fx - 6, fy - 4, fx + 184, fy + 40, 3, fill=SELECT_FILL, stroke=SELECT_EDGE)
    lumvora_icon(c, fx, fy, 32)
    c.text_mid(fx + 42, fy + 9, "Lumvora.exe", 12)
    c.text_mid(fx + 42, fy + 26, "应用程序", 12, GREY_TEXT)
    # the context menu
    items = [
        ("打开(O)", "bold"), ("以管理员身份运行(A)", "shield"), ("兼容性疑难解答(Y)", ""), None,
        ("发送到(N)", "sub"), None, ("剪切(T)", ""), ("复制(C)", ""), None,
        ("创建快捷方式(S)", ""), ("删除(D)", ""), ("重命名(M)", ""), None, ("属性(R)", ""),
    ]  # fmt: skip
    mx0, my0, mw = fx + 110, fy + 36, 206
    height = 4 + sum(7 if it is None else 22 for it in items)
    c.rect(mx0 + 3, my0 + 3, mx0 + mw + 3, my0 + height + 3, fill="#C8C8C8")  # shadow
    c.rect(mx0, my0, mx0 + mw, my0 + height, fill="#F5F5F5", stroke="#979797")
    c.line(mx0 + 28, my0 + 2, mx0 + 28, my0 + height - 2, "#E2E3E3")
    y = my0 + 2
    for it in items:
        if it is None:
            c.line(mx0 + 30, y + 3, mx0 + mw - 3, y + 3, "#D7D7D7")
            y += 7
            continue
        label, kind = it
        if kind == "shield":
            c.round_rect(mx0 + 3, y + 1, mx0 + mw - 3, y + 20, 3, fill=HOVER_FILL, stroke=HOVER_EDGE)
            shield_icon(c, mx0 + 6, y + 3)
            hy = y
        c.text_mid(mx0 + 36, y + 11, label, 12, bold=(kind == "bold"))
        if kind == "sub":
            c.polygon([(mx0 + mw - 14, y + 7), (mx0 + mw - 14, y + 15), (mx0 + mw - 10, y + 11)], fill=TEXT)
        y += 22
    mark_box(c, mx0 + 1, hy - 1, mx0 + mw - 1, hy + 22)
    cursor(c, mx0 + 150, hy + 11)
    badge(c, fx + 8, fy + 62, 1)
    c.text_mid(fx + 21, fy + 62, "右键单击", 12, MARK)
    badge(c, mx0 + mw + 16, hy + 11, 2)
    c.save(path)


def draw_uac(path):
    """The user account control prompt that a double click on Lumvora.exe brings up, at its 是 button."""
    c = Canvas(420, 250, FACE)
    cx0, cy0, cx1, cy1 = window_frame(c, 0, 0, 419, 249, "用户账户控制", buttons=("close",))
    c.rect(cx0, cy0, cx1, cy1, fill="white")
    # the band of a program from an unknown publisher
    c.rect(cx0, cy0, cx1, cy0 + 58, fill="#F6D46A")
    c.line(cx0, cy0 + 58, cx1, cy0 + 58, "#C9A437")
    shield_icon(c, cx0 + 12, cy0 + 12)
    c.text(cx0 + 40, cy0 + 10, "您要允许来自未知发布者的以下程序对此计", 14)
    c.text(cx0 + 40, cy0 + 32, "算机进行更改吗？", 14)
    y = cy0 + 76
    lumvora_icon(c, cx0 + 16, y, 32)
    for i, (name, value) in enumerate([("程序名称:", "Lumvora.exe"), ("发布者:", "未知"),
                                       ("文件源:", "此计算机上的硬盘驱动器")]):  # fmt: skip
        c.text_mid(cx0 + 64, y + 8 + i * 22, name, 12, GREY_TEXT)
        c.text_mid(cx0 + 140, y + 8 + i * 22, value, 12)
    by = cy1 - 40
    c.rect(cx0, by - 14, cx1, cy1, fill=FACE)
    c.text_mid(cx0 + 12, by + 12, "显示详细信息(D)", 12, LINK)
    button(c, cx1 - 170, by, cx1 - 92, by + 24, "是(Y)", default=True)
    button(c, cx1 - 84, by, cx1 - 6, by + 24, "否(N)")
    mark_box(c, cx1 - 174, by - 4, cx1 - 88, by + 28)
    badge(c, cx1 - 131, by - 16, 2)
    c.save(path)


def draw_connections(path):
    """The 网络连接 folder with the new hosted network adapter."""
    c = Canvas(600, 300, "white")
    cx0, cy0, cx1, cy1 = window_frame(c, 0, 0, 599, 299, "")
    # address bar and search box
    c.rect(cx0, cy0 - 2, cx1, cy0 + 24, fill="#E4EDF8")
    address_bar(c, cx0, cy0, cx1 - 150, ["控制面板", "网络和 Internet", "网络连接"])
    c.rect(cx1 - 144, cy0 + 2, cx1 - 4, cy0 + 20, fill="white", stroke="#8EA4C1")
    c.text_mid(cx1 - 138, cy0 + 11, "搜索 网络连接", 12, "#8A8A8A")
    # command bar
    bar = cy0 + 25
    c.rect(cx0, bar, cx1, bar + 26, fill="#EEF3FA", stroke="#C9D6E7")
    x = cx0 + 10
    for i, label in enumerate(("组织", "禁用此网络设备", "诊断这个连接", "重命名此连接")):
        c.text_mid(x, bar + 13, label, 12, "#1E3287")
        x += text_width(label, 12) + 22
        if i == 0:
            c.polygon([(x - 18, bar + 11), (x - 10, bar + 11), (x - 14, bar + 15)], fill="#1E3287")
            x += 6
    top = bar + 27
    c.rect(cx0, top, cx1, cy1, fill="white", stroke="#B6C3D3")
    tiles = [
        (cx0 + 14, top + 14, "本地连接", "网络", "千兆以太网控制器", "wired", True, False),
        (cx0 + 298, top + 14, "无线网络连接", "未连接", "802.11n 无线网卡", "wireless", False, False),
        (cx0 + 14, top + 88, "无线网络连接 2", "未连接", "Microsoft Virtual WiFi Miniport Adapter", "wireless",
         False, True),
    ]  # fmt: skip
    for x, y, name, state, device, kind, connected, chosen in tiles:
        if chosen:
            width = 62 + text_width(device, 12)
            c.round_rect(x - 6, y - 6, x + width, y + 56, 3, fill=SELECT_FILL, stroke=SELECT_EDGE)
            mark_box(c, x - 9, y - 9, x + width + 3, y + 59)
        adapter_icon(c, x, y, kind, connected)
        c.text_mid(x + 56, y + 9, name, 12)
        c.text_mid(x + 56, y + 25, state, 12, GREY_TEXT)
        c.text_mid(x + 56, y + 41, device, 12, GREY_TEXT)
    note_x = cx0 + 14 + 62 + text_width(tiles[2][4], 12) + 16
    c.text_mid(note_x, top + 111, "新出现的虚拟网卡", 12, MARK)
    c.text_mid(note_x, top + 129, "(名称可能略有不同)", 12, MARK)
    c.save(path)


def draw_drivers(path):
    """A command prompt with the output of netsh wlan show drivers."""
    lines = [
        "Microsoft Windows [版本 6.1.7601]",
        "版权所有 (c) 2009 Microsoft Corporation。保留所有权利。",
        "",
        "C:\\Windows\\system32>netsh wlan show drivers",
        "",
        "接口名称: 无线网络连接",
        "",
        "    驱动程序                  : 802.11n 无线网卡",
        "    供应商                    : 网卡制造商",
        "    提供程序                  : 网卡制造商",
        "    日期                      : 2012/6/18",
        "    版本                      : 9.2.0.428",
        "    INF 文件                  : C:\\Windows\\INF\\oem12.inf",
        "    类型                      : 本机 WLAN 驱动程序",
        "    支持的无线电类型          : 802.11b 802.11g 802.11n",
        "    支持 FIPS 140-2 模式: 是",
        "    支持的承载网络  : 是",
        "    支持的身份验证和密码:",
        "        开放式            无",
        "        WPA2 - 个人       CCMP",
        "",
        "C:\\Windows\\system32>_",
    ]
    cell_w, cell_h = 8, 16
    cols = 74
    width = cols * cell_w + 16 + 17
    height = len(lines) * cell_h + 30 + 8 + 8
    c = Canvas(width, height, "black")
    cx0, cy0, cx1, cy1 = window_frame(c, 0, 0, width - 1, height - 1, "管理员: C:\\Windows\\system32\\cmd.exe",
                                      icon=cmd_icon)  # fmt: skip
    c.rect(cx0, cy0, cx1, cy1, fill="black")
    # scroll bar
    c.rect(cx1 - 16, cy0, cx1, cy1, fill="#E8E8E8")
    c.rect(cx1 - 14, cy1 - 60, cx1 - 2, cy1 - 18, fill="#C2C2C2", stroke="#A8A8A8")
    tx0, ty0 = cx0 + 2, cy0 + 1
    hot = next(i for i, s in enumerate(lines) if "承载网络" in s)
    for row, s in enumerate(lines):
        col = 0
        y = ty0 + row * cell_h
        color = "#FFFFFF" if row == hot else "#C0C0C0"
        for ch in s:
            wide = ord(ch) > 0x2E7F
            x = tx0 + col * cell_w
            if ch != " ":
                if wide:
                    c.text(x + 1, y, ch, 14, color)
                else:
                    c.text(x, y - 1, ch, 13, color, font=MONO)
            col += 2 if wide else 1
    hy = ty0 + hot * cell_h
    hot_cells = sum(2 if ord(ch) > 0x2E7F else 1 for ch in lines[hot])
    mark_box(c, tx0 + 3 * cell_w, hy - 2, tx0 + (hot_cells + 1) * cell_w, hy + cell_h + 1)
    note_x = tx0 + (hot_cells + 3) * cell_w
    c.text(note_x, hy, "← 是：支持承载网络；否：不支持", 13, "#FF5A5A")
    c.save(path)


def draw_sharing(path):
    """The 共享 tab of the Internet connection's properties."""
    c = Canvas(380, 440, FACE)
    cx0, cy0, cx1, cy1 = window_frame(c, 0, 0, 379, 439, "本地连接 属性", buttons=("close",))
    c.rect(cx0, cy0, cx1, cy1, fill=FACE)
    page_top = tabs(c, cx0 + 6, cy0 + 6, cx1 - 6, ["网络", "共享"], 1)
    px0, px1, pbottom = cx0 + 6, cx1 - 6, cy1 - 40
    c.rect(px0, page_top, px1, pbottom, fill="white", stroke="#898C95")
    y = page_top + 16
    group_box(c, px0 + 8, y, px1 - 8, y + 190, "Internet 连接共享")
    checkbox(c, px0 + 18, y + 18, True, "允许其他网络用户通过此计算机的 Internet 连")
    c.text_mid(px0 + 38, y + 42, "接来连接(N)")
    mark_box(c, px0 + 13, y + 10, px1 - 14, y + 52)
    badge(c, px1 - 14, y + 10, 3)
    c.text_mid(px0 + 18, y + 72, "家庭网络连接(H):")
    c.rect(px0 + 18, y + 84, px1 - 22, y + 106, fill="white", stroke="#7A9CC6")
    c.text_mid(px0 + 24, y + 95, "无线网络连接 2")
    c.rect(px1 - 40, y + 85, px1 - 23, y + 105, fill="#E6EEF8")
    c.polygon([(px1 - 36, y + 92), (px1 - 27, y + 92), (px1 - 31.5, y + 98)], fill="#333333")
    mark_box(c, px0 + 13, y + 79, px1 - 17, y + 111)
    badge(c, px1 - 14, y + 79, 4)
    checkbox(c, px0 + 18, y + 128, False, "允许其他网络用户控制或禁用共享的 Internet")
    c.text_mid(px0 + 38, y + 152, "连接(O)")
    c.text_mid(px0 + 18, y + 176, "使用 ICS (Internet 连接共享)", 12, LINK)
    c.line(px0 + 18, y + 184, px0 + 18 + text_width("使用 ICS (Internet 连接共享)", 12), y + 184, LINK)
    button(c, px1 - 96, pbottom - 36, px1 - 12, pbottom - 12, "设置(G)...")
    by = cy1 - 32
    button(c, cx1 - 156, by, cx1 - 82, by + 23, "确定", default=True)
    button(c, cx1 - 76, by, cx1 - 2, by + 23, "取消")
    badge(c, cx1 - 166, by + 12, 5)
    c.save(path)


def draw_phone(path):
    """A phone's Wi-Fi list with the LumvoSoft network."""
    w, h = 260, 470
    c = Canvas(w, h, "white")
    c.round_rect(4, 4, w - 5, h - 5, 30, fill="#26292E", stroke="#111111", width=2)
    sx0, sy0, sx1, sy1 = 16, 52, w - 17, h - 56
    c.rect(sx0, sy0, sx1, sy1, fill="#F4F5F7")
    c.round_rect(w / 2 - 24, 26, w / 2 + 24, 31, 2, fill="#4A4E55")
    c.circle(w / 2, h - 30, 14, stroke="#5A5E66", width=2)
    # status bar
    c.rect(sx0, sy0, sx1, sy0 + 20, fill="#E6E8EC")
    c.text_mid(sx0 + 8, sy0 + 10, "10:30", 11, "#333333")
    for i, hh in enumerate((4, 6, 8, 10)):
        bx = sx1 - 44 + i * 4
        c.rect(bx, sy0 + 15 - hh, bx + 2, sy0 + 15, fill="#333333")
    c.rect(sx1 - 24, sy0 + 6, sx1 - 8, sy0 + 14, stroke="#333333")
    c.rect(sx1 - 22, sy0 + 8, sx1 - 12, sy0 + 12, fill="#333333")
    # title
    y = sy0 + 20
    c.rect(sx0, y, sx1, y + 40, fill="white")
    c.polyline([(sx0 + 18, y + 13), (sx0 + 11, y + 20), (sx0 + 18, y + 27)], "#333333", 2)
    c.text_mid(sx0 + 32, y + 20, "WLAN", 15, bold=True)
    y += 44
    c.rect(sx0, y, sx1, y + 38, fill="white")
    c.text_mid(sx0 + 14, y + 19, "WLAN", 13)
    c.round_rect(sx1 - 50, y + 10, sx1 - 14, y + 28, 9, fill="#2F7BD6")
    c.circle(sx1 - 23, y + 19, 7, fill="white")
    y += 46
    c.text_mid(sx0 + 14, y + 8, "可用网络", 11, GREY_TEXT)
    y += 18
    nets = [
        ("LumvoSoft", "已加密", 3, True),
        ("HomeNet", "已加密", 2, False),
        ("Office-2F", "已加密", 2, False),
        ("Guest", "开放", 1, False),
    ]
    for name, sub, strength, chosen in nets:
        c.rect(sx0, y, sx1, y + 46, fill="#EAF3FE" if chosen else "white")
        c.line(sx0 + 14, y + 46, sx1, y + 46, "#E1E3E6")
        c.text_mid(sx0 + 14, y + 16, name, 14, bold=chosen)
        c.text_mid(sx0 + 14, y + 34, sub, 11, GREY_TEXT)
        row_bg = "#EAF3FE" if chosen else "white"
        wx, wy = sx1 - 36, y + 33
        wifi_fan(c, wx, wy, 20, "#2F7BD6", row_bg, strength)
        if sub == "已加密":
            c.arc(sx1 - 18, y + 27, 3.5, 180, 360, "#555555", 2)
            c.rect(sx1 - 22.5, y + 27, sx1 - 13.5, y + 35, fill="#555555")
        if chosen:
            mark_box(c, sx0 + 2, y + 2, sx1 - 2, y + 44)
        y += 47
    c.text_mid(sx0 + 14, sy1 - 14, "点击 LumvoSoft，输入密钥", 12, MARK)
    c.save(path)


# ---------------------------------------------------------------------------------------------------
# Placeholders for the screenshots of Lumvora itself

SCREENSHOTS = [
    ("shot_main.png", 349, 217, "Lumvora 主窗口"),
    ("shot_filled.png", 349, 217, "填好名称和密钥的主窗口"),
    ("shot_created.png", 220, 110, "无线热点创建成功！"),
    ("shot_failed.png", 420, 160, "无线热点启动失败！"),
    ("shot_menu.png", 349, 217, "右键菜单：关于 / 退出"),
]


def placeholder(path, width, height, what):
    c = Canvas(width, height, "#F0F0F0")
    c.rect(0, 0, width - 1, height - 1, stroke="#9A9A9A")
    c.rect(3, 3, width - 4, height - 4, stroke="#C8C8C8")
    c.text_centered(width / 2, height / 2 - 12, what, 12)
    c.text_centered(width / 2, height / 2 + 10, "（截图）", 12, GREY_TEXT)
    c.save(path)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "images")
    os.makedirs(out, exist_ok=True)
    for font in (CJK, MONO):
        if not os.path.exists(font):
            sys.exit(f"draw_illustrations: font {font} is missing (fonts-wqy-zenhei, fonts-dejavu-core)")
    draw_runas(os.path.join(out, "draw_runas.png"))
    draw_uac(os.path.join(out, "draw_uac.png"))
    draw_connections(os.path.join(out, "draw_connections.png"))
    draw_drivers(os.path.join(out, "draw_drivers.png"))
    draw_sharing(os.path.join(out, "draw_sharing.png"))
    draw_phone(os.path.join(out, "draw_phone.png"))
    for name, width, height, what in SCREENSHOTS:
        target = os.path.join(out, name)
        if not os.path.exists(target):
            placeholder(target, width, height, what)


if __name__ == "__main__":
    main()
