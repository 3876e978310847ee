#!/usr/bin/env python3
"""Draws the Dark image set from the Light one: ink turns light, paper turns dark, and white
glyphs that sit on an ink shape follow the ink. Coloured marks keep their colours.

Run from the top of the source tree after changing a Light image:
    python3 tools/skin-dark/derive.py
The Dark files are committed; the build only renders them."""
import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'data', 'skin')
LIGHT = os.path.join(ROOT, 'Light')
DARK = os.path.join(ROOT, 'Dark')

INK, LIGHT_INK = '#2f3a45', '#d5dde6'
WHITE = '#ffffff'
DARK_PAPER = '#2b323b'
GLYPH_ON_INK = '#1e2329'
# Light-theme fills and lines and their dark counterparts.
TONES = {
    '#e6ecf2': '#46505c', '#dfe6ee': '#3d4651', '#e8edf2': '#46505c', '#cfd8e3': '#5b6672',
    '#e6f1ff': '#1d3350', '#cfe4ff': '#244a7a', '#eef1f5': '#24292f', '#c9d1db': '#4a5560',
    '#aab5c1': '#5d6874', '#8592a0': '#7d8996', '#f3f5f8': '#1f2327', '#007AFF': '#2b8cff',
    '#005ec4': '#1a6fd6', '#b8860b': '#8a6508', '#4a4a4a': '#9aa3ad',
}
# Pictures that look the same on either background.
KEEP = re.compile(r'^(tray\d*|tray_idle|done|img_product_box|img_play_preview|img_tw|img_fb|img_gplus)\.')
# Pictures whose ink sits on a yellow shape, where it stays dark to be read.
KEEP_INK = re.compile(r'^(img_browse|img_report_failed|img_warning)\.')
TAG = re.compile(r'<(\w+)([^<>]*?)(/?)>')
ATTR = re.compile(r'(fill|stroke)="([^"]+)"')


def ink_backdrop(text):
    """True when an ink-filled shape is large enough to carry white glyphs."""
    for tag in TAG.finditer(text):
        name, attrs = tag.group(1), tag.group(2)
        if f'fill="{INK}"' not in attrs:
            continue
        if name in ('rect', 'g'):
            return True
        radius = re.search(r'\br="([\d.]+)"', attrs)
        if name == 'circle' and radius and float(radius.group(1)) >= 5:
            return True
    return False


def convert(text, keep_ink):
    flip_white = ink_backdrop(text)

    def tag(match):
        name, attrs, close = match.groups()
        values = dict(ATTR.findall(attrs))
        fill, stroke = values.get('fill'), values.get('stroke')

        def colour(kind, value):
            if value is None:
                return None
            if value == INK:
                return INK if keep_ink else LIGHT_INK
            if value == WHITE:
                if kind == 'fill' and stroke not in (None, 'none', WHITE):
                    return DARK_PAPER  # a paper shape with an outline
                return GLYPH_ON_INK if flip_white else WHITE
            return TONES.get(value, value)

        def swap(attr):
            kind, value = attr.group(1), attr.group(2)
            return f'{kind}="{colour(kind, value)}"'

        return f'<{name}{ATTR.sub(swap, attrs)}{close}>'

    text = TAG.sub(tag, text)
    # Gradient stops and other colour mentions outside fill and stroke.
    for light, dark in TONES.items():
        text = text.replace(f'stop-color="{light}"', f'stop-color="{dark}"')
    return text


def main():
    os.makedirs(DARK, exist_ok=True)
    for name in sorted(os.listdir(LIGHT)):
        if not name.endswith('.svg'):
            continue
        with open(os.path.join(LIGHT, name)) as source:
            text = source.read()
        if not KEEP.match(name):
            text = convert(text, bool(KEEP_INK.match(name)))
        with open(os.path.join(DARK, name), 'w') as target:
            target.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main())
