#!/usr/bin/env python3
"""Writes the twenty pictures of a burner's space gauge (img_cdsize_0 ... img_cdsize_19) into the
Light image set: a disc filled clockwise from the top, step k standing for up to 5 k percent
(step 19 for a full disc). The burner draws what is still to be burned over it.

Run from the top of the source tree, then python3 tools/skin-dark/derive.py:
    python3 tools/skin-gauge/make_gauge.py"""
import math
import os

LIGHT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'data', 'skin', 'Light')
CX = CY = 32.0
R = 29.0
HOLE = 8.0


def wedge(fraction):
    if fraction <= 0:
        return ''
    if fraction >= 1:
        return f'  <circle cx="{CX}" cy="{CY}" r="{R}" fill="#007AFF"/>\n'
    angle = 2 * math.pi * fraction
    x = CX + R * math.sin(angle)
    y = CY - R * math.cos(angle)
    large = 1 if fraction > 0.5 else 0
    return (f'  <path d="M{CX} {CY} L{CX} {CY - R} A{R} {R} 0 {large} 1 {x:.2f} {y:.2f} Z" '
            f'fill="#007AFF"/>\n')


def picture(step):
    fraction = 1.0 if step == 19 else step * 5 / 100.0
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">\n'
            f'  <circle cx="{CX}" cy="{CY}" r="{R}" fill="#dfe6ee"/>\n'
            + wedge(fraction) +
            f'  <circle cx="{CX}" cy="{CY}" r="{R}" fill="none" stroke="#2f3a45" stroke-width="1.5"/>\n'
            f'  <circle cx="{CX}" cy="{CY}" r="{HOLE}" fill="#ffffff" stroke="#2f3a45" stroke-width="1.5"/>\n'
            '</svg>\n')


for step in range(20):
    with open(os.path.join(LIGHT, f'img_cdsize_{step}.png.svg'), 'w') as f:
        f.write(picture(step))
