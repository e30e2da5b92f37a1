"""palmora: the painting engine's C interface with NumPy arrays in and out.

Pictures are (height, width, 4) arrays, red first: uint8 for files and 8-bit transfers, uint16 for
the engine's own 16 bits a channel. The engine holds one canvas at a time, so one Canvas may be
open at a time.

    import palmora
    with palmora.Canvas(320, 200) as canvas:
        canvas.load(palmora.read_picture("in.png"))
        canvas.run_effect("Vignette", sliders=[15, 10, 25, 100], options={3: 1})
        palmora.write_picture("out.png", canvas.layer_rgba32())
"""
from dataclasses import dataclass, field
import ctypes

import numpy as np

from . import _library

_lib = _library.load()

__all__ = ["PalmoraError", "Effect", "effects", "read_picture", "write_picture", "Canvas"]


class PalmoraError(RuntimeError):
    """A call the engine refused or that failed; the message says which and why."""


@dataclass(frozen=True)
class Effect:
    """One effect of the catalogue and the arguments it reads (sliders and options count from 1)."""
    name: str
    sliders: tuple = field(default=())
    options: tuple = field(default=())
    colour: bool = False
    script_value: bool = False
    text: bool = False


def effects():
    """Every effect the engine runs, in catalogue order, with the arguments each one reads."""
    found = []
    index = 0
    while True:
        name = _lib.PMR_IPLGetEffectName(index)
        if name is None:
            return found
        reads = _lib.PMR_IPLGetEffectReads(index)
        found.append(Effect(
            name=name.decode(),
            sliders=tuple(n for n in range(1, 7) if reads & (1 << (n - 1))),
            options=tuple(n for n in range(1, 9) if reads & (1 << (n + 5))),
            colour=bool(reads & (1 << 14)),
            script_value=bool(reads & (1 << 15)),
            text=bool(reads & (1 << 16))))
        index += 1


def _rgba(array, dtype):
    array = np.ascontiguousarray(array)
    if array.ndim != 3 or array.shape[2] != 4 or array.dtype != dtype:
        raise ValueError(f"expected a (height, width, 4) {np.dtype(dtype).name} array, "
                         f"got {array.shape} {array.dtype}")
    if array.shape[0] < 1 or array.shape[1] < 1:
        raise ValueError("the picture is empty")
    return array


def read_picture(path):
    """Reads any picture file the engine decodes, as a (height, width, 4) uint8 array."""
    if not _lib.PMR_ReadFromFile(str(path).encode()):
        raise PalmoraError(f"cannot read '{path}': not a picture this engine decodes")
    height, width = _lib.PMR_GetNewRGBAHeight(), _lib.PMR_GetNewRGBAWidth()
    picture = np.empty((height, width, 4), np.uint8)
    _lib.PMR_GetNewRGBA32(picture.ctypes.data)
    _lib.PMR_DeleteNewRGBA()
    return picture


def write_picture(path, picture, dpi=72):
    """Writes a (height, width, 4) uint8 array by the path's extension (.png, .jpg, .tif, ...)."""
    picture = _rgba(picture, np.uint8)
    path = str(path)
    extension = "." + path.rsplit(".", 1)[-1].lower() if "." in path else ""
    extension = {".jpeg": ".jpg", ".tiff": ".tif"}.get(extension, extension)
    height, width = picture.shape[:2]
    if extension in (".png", ".tga", ".tif"):
        ok = _lib.PMR_WriteToFileRGBA32(picture.ctypes.data, width, height, path.encode(),
                                        extension.encode(), dpi)
    else:
        rgb = np.ascontiguousarray(picture[:, :, :3])
        ok = _lib.PMR_WriteToFileRGB24(rgb.ctypes.data, width, height, path.encode(),
                                       extension.encode(), dpi)
    if not ok:
        raise PalmoraError(f"cannot write '{path}'")


class Canvas:
    """The engine's canvas: white paper in layer 1, the picture in layer 2 (current, visible)."""
    _open = False

    def __init__(self, width, height, max_brush=256):
        if Canvas._open:
            raise PalmoraError("the engine holds one canvas at a time; close the other first")
        if not (0 < width <= 100000 and 0 < height <= 100000):
            raise ValueError(f"canvas size {width}x{height} is out of range")
        self.width, self.height = int(width), int(height)
        _lib.PMR_SetLastError(b"")
        _lib.PMR_IPLInit(0)
        _lib.PMR_CreateImage(None, self.width, self.height, int(max_brush), 0)
        Canvas._open = True
        self._closed = False
        try:
            self._check("creating the canvas")
            for index in (1, 2):
                if not _lib.PMR_CreateLayer(index, self.width, self.height):
                    raise PalmoraError(f"cannot create layer {index}")
                # New layers are hidden until made visible.
                _lib.PMR_SetLayerOptions(index, 1, 0, 100, b"Normal")
            _lib.PMR_SetLayer(2)
        except Exception:
            self.close()
            raise

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        if not self._closed:
            _lib.PMR_IPLFreeSrcBuffer32()
            _lib.PMR_IPLFreeDstBuffer32()
            _lib.PMR_DeleteImage()
            _lib.PMR_IPLExit()
            self._closed = True
            Canvas._open = False

    def _check(self, what):
        error = _lib.PMR_GetLastError()
        if error:
            _lib.PMR_SetLastError(b"")
            raise PalmoraError(f"{what} failed: {error.decode(errors='replace')}")

    def _layer_index(self, index):
        if not 0 <= index <= 63:
            raise ValueError(f"layer index {index} is outside 0..63")
        return index

    def show_paper(self, visible):
        _lib.PMR_SetLayerOptions(1, 1 if visible else 0, 0, 100, b"Normal")

    def load(self, picture, layer=2):
        """Puts a uint8 (8-bit) or uint16 (16-bit) RGBA picture of the canvas size into a layer."""
        layer = self._layer_index(layer)
        picture = np.asarray(picture)
        if picture.shape[:2] != (self.height, self.width):
            raise ValueError(f"picture is {picture.shape[1]}x{picture.shape[0]}, "
                             f"the canvas {self.width}x{self.height}")
        if picture.dtype == np.uint16:
            picture = _rgba(picture, np.uint16)
            ok = _lib.PMR_SetRGBA64Layer(picture.ctypes.data, self.width * 8, layer)
        else:
            picture = _rgba(picture, np.uint8)
            ok = _lib.PMR_LoadRGBA32Layer(picture.ctypes.data, self.width * 4, layer, 0, 0,
                                          self.width, self.height, 0)
        if not ok:
            raise PalmoraError(f"cannot load the picture into layer {layer}")

    def layer(self, index=2):
        """A layer's pixels, 16 bits a channel: (height, width, 4) uint16."""
        index = self._layer_index(index)
        pixels = np.empty((self.height, self.width, 4), np.uint16)
        if not _lib.PMR_GetRGBA64Layer(pixels.ctypes.data, self.width * 8, index):
            raise PalmoraError(f"layer {index} has no pixels")
        return pixels

    def layer_rgba32(self, index=2):
        """A layer's pixels at 8 bits a channel (the high byte of each sample)."""
        return (self.layer(index) >> 8).astype(np.uint8)

    def merged(self):
        """The flattened page, 16 bits a channel."""
        page = np.empty((self.height, self.width, 4), np.uint16)
        _lib.PMR_Merge(page.ctypes.data)
        return page

    def run_effect(self, name, sliders=(), options=None, colour=(0, 0, 0), text="",
                   script_value=0):
        """Runs an effect on the current layer. Sliders are percents (0..100, in tenths), options
        a {number: value} mapping counted from 1, colour 0..255 channels."""
        known = {effect.name for effect in effects()}
        if name not in known:
            raise PalmoraError(f"unknown effect '{name}'")
        slider_values = [0] * 6
        for i, value in enumerate(sliders):
            if not 0 <= value <= 100:
                raise ValueError(f"slider {i + 1} is {value}: percents run 0..100")
            slider_values[i] = int(value * 10)
        option_values = [0] * 8
        for number, value in (options or {}).items():
            if not 1 <= number <= 8:
                raise ValueError(f"option {number} is outside 1..8")
            option_values[number - 1] = int(value)
        errors = []

        def on_message(message, caption, user):
            if caption == b"Lua Script Error" and not errors:
                errors.append((message or b"").decode(errors="replace"))
        callback = _library.MESSAGE_BOX(on_message)
        _lib.PMR_SetLastError(b"")
        _lib.PMR_IPLAllocSrcBuffer32()
        _lib.PMR_IPLAllocDstBuffer32()
        _lib.PMR_SetMessageBoxCallback(ctypes.cast(callback, ctypes.c_void_p), None)
        try:
            _lib.PMR_IPLImageProcess(0, name.encode(), int(script_value), *slider_values,
                                     *option_values, *[int(c) for c in colour], text.encode())
        finally:
            _lib.PMR_SetMessageBoxCallback(None, None)
        if errors:
            raise PalmoraError(f"effect '{name}': {errors[0]}")
        self._check(f"effect '{name}'")
