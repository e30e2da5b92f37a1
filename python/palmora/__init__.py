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
import os

import numpy as np

from . import _library

_lib = _library.load()

__all__ = ["PalmoraError", "Parameter", "Effect", "effects", "data_folder", "read_picture",
           "write_picture", "Canvas"]


class PalmoraError(RuntimeError):
    """A call the engine refused or that failed; the message says which and why."""


@dataclass(frozen=True)
class Parameter:
    """One argument an effect reads, as the engine describes it. kind is "slider", "option",
    "colour", "text" or "script value"; number counts sliders (1..6) and options (1..8) from 1.
    Sliders are in percent (as run_effect takes them), a colour is an (r, g, b) tuple, and a text
    argument's default is a file name under the data folder ("" when the effect needs one given)."""
    kind: str
    number: int
    label: str
    low: object
    high: object
    default: object


_KINDS = ("slider", "option", "colour", "text", "script value")


@dataclass(frozen=True)
class Effect:
    """One effect of the catalogue: what it does, the arguments it reads (sliders and options
    count from 1) and each argument's description."""
    name: str
    sliders: tuple = field(default=())
    options: tuple = field(default=())
    colour: bool = False
    script_value: bool = False
    text: bool = False
    summary: str = ""
    parameters: tuple = field(default=())


def _parameters(index):
    found = []
    k = 0
    while True:
        kind, number, low, high, standard = (ctypes.c_int32() for _ in range(5))
        label, default_text = ctypes.c_char_p(), ctypes.c_char_p()
        if not _lib.PMR_IPLGetEffectParameter(index, k, kind, number, low, high, standard,
                                              label, default_text):
            return tuple(found)
        name = _KINDS[kind.value] if 0 <= kind.value < len(_KINDS) else str(kind.value)
        values = (low.value, high.value, standard.value)
        if name == "slider":  # the engine counts tenths of a percent
            values = tuple(v / 10 for v in values)
        elif name == "colour":
            values = (None, None, (standard.value & 0xFF, (standard.value >> 8) & 0xFF,
                                   (standard.value >> 16) & 0xFF))
        elif name == "text":
            values = (None, None, (default_text.value or b"").decode())
        found.append(Parameter(name, number.value, (label.value or b"").decode(), *values))
        k += 1


def effects():
    """Every effect the engine runs, in catalogue order, with what it does and the arguments each
    one reads, described (labels, ranges, defaults)."""
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
            text=bool(reads & (1 << 16)),
            summary=(_lib.PMR_IPLGetEffectSummary(index) or b"").decode(),
            parameters=_parameters(index)))
        index += 1


def data_folder():
    """The folder of the engine's shipped data files: $PALMORA_DATA, else share/palmora beside
    the loaded library's lib folder."""
    chosen = os.environ.get("PALMORA_DATA")
    if chosen:
        return chosen
    return os.path.normpath(os.path.join(os.path.dirname(_library.loaded_path()), "..", "share",
                                         "palmora"))


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

    def run_effect(self, name, sliders=None, options=None, colour=None, text=None,
                   script_value=None):
        """Runs an effect on the current layer. Sliders are percents (0..100, in tenths), given as
        a list from slider 1 or a {number: percent} mapping; options a {number: value} mapping
        counted from 1; colour an (r, g, b) of 0..255 channels. Whatever is left out takes the
        effect's described default, a default text file taken from data_folder()."""
        described = {effect.name: effect for effect in effects()}
        if name not in described:
            raise PalmoraError(f"unknown effect '{name}'")
        slider_values = [0] * 6
        option_values = [0] * 8
        chosen_colour, chosen_text, chosen_value = (0, 0, 0), "", 0
        for p in described[name].parameters:
            if p.kind == "slider":
                slider_values[p.number - 1] = round(p.default * 10)
            elif p.kind == "option":
                option_values[p.number - 1] = p.default
            elif p.kind == "colour":
                chosen_colour = p.default
            elif p.kind == "text" and p.default:
                chosen_text = os.path.join(data_folder(), p.default)
            elif p.kind == "script value":
                chosen_value = p.default
        given = dict(enumerate(sliders, 1)) if isinstance(sliders, (list, tuple)) else sliders
        for number, value in (given or {}).items():
            if not 1 <= number <= 6:
                raise ValueError(f"slider {number} is outside 1..6")
            if not 0 <= value <= 100:
                raise ValueError(f"slider {number} is {value}: percents run 0..100")
            slider_values[number - 1] = int(value * 10)
        for number, value in (options or {}).items():
            if not 1 <= number <= 8:
                raise ValueError(f"option {number} is outside 1..8")
            option_values[number - 1] = int(value)
        colour = chosen_colour if colour is None else colour
        text = chosen_text if text is None else str(text)
        script_value = chosen_value if script_value is None else script_value
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
