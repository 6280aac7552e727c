#!/usr/bin/env python3
"""An outside player for zorvane-arena: it keeps its block near the middle of the arena.

    zorvane-arena cpu:1 "exec:python3 tools/arena/example_bot.py red"

Each line in: the tick of the state shown, then both blocks' 13 numbers (X Y VX VY Health
SavedVX SavedVY Accel Friction Size MaxSpeed Damage MaxHealth), blue's first, then Running.
Each line out: the key codes to press now, of its own block only; an empty line presses none.
"""
import sys

KEYS = {"blue": (38, 40, 37, 39), "red": (87, 83, 65, 68)}  # up, down, left, right
side = sys.argv[1] if len(sys.argv) > 1 else "red"
up, down, left, right = KEYS[side]
first = 1 if side == "blue" else 14  # where its block's numbers start on a line

for line in sys.stdin:
    x, y, vx, vy = (float(n) for n in line.split()[first:first + 4])
    keys = []
    # Aim for a speed that brings the block to the middle, slowly, and push towards it.
    want_vx = max(-5.0, min(5.0, (305 - x) / 20))
    want_vy = max(-5.0, min(5.0, (225 - y) / 20))
    if vx - want_vx > 2.5:
        keys.append(left)
    elif want_vx - vx > 2.5:
        keys.append(right)
    if vy - want_vy > 2.5:
        keys.append(up)
    elif want_vy - vy > 2.5:
        keys.append(down)
    print(" ".join(str(key) for key in keys), flush=True)
