"""Darkens a picture's corners with the engine's "Vignette" and lists what other effects read.

    /usr/bin/python3 examples/vignette.py in.png out.png
"""
import sys

import palmora

source, target = sys.argv[1], sys.argv[2]
picture = palmora.read_picture(source)
height, width = picture.shape[:2]
with palmora.Canvas(width, height) as canvas:
    canvas.load(picture)
    canvas.run_effect("Vignette", sliders=[15, 10, 25, 100], options={3: 1})
    palmora.write_picture(target, canvas.layer_rgba32())
print(f"wrote {target} ({width}x{height})")
for effect in palmora.effects()[:5]:
    print(f"  {effect.name}: sliders {effect.sliders}, options {effect.options}")
