"""Finds and loads libpalmora and declares the exports the module calls."""
import ctypes
import ctypes.util
import os

_i32 = ctypes.c_int32
_ptr = ctypes.c_void_p
_str = ctypes.c_char_p

# name: (result, arguments)
_EXPORTS = {
    "PMR_IPLInit": (None, [_i32]),
    "PMR_IPLExit": (None, []),
    "PMR_CreateImage": (None, [_ptr, _i32, _i32, _i32, _i32]),
    "PMR_DeleteImage": (None, []),
    "PMR_GetLastError": (_str, []),
    "PMR_SetLastError": (None, [_str]),
    "PMR_CreateLayer": (_i32, [_i32, _i32, _i32]),
    "PMR_SetLayerOptions": (_i32, [_i32, _i32, _i32, _i32, _str]),
    "PMR_SetLayer": (None, [_i32]),
    "PMR_GetRGBA64Layer": (_i32, [_ptr, _i32, _i32]),
    "PMR_SetRGBA64Layer": (_i32, [_ptr, _i32, _i32]),
    "PMR_LoadRGBA32Layer": (_i32, [_ptr, _i32, _i32, _i32, _i32, _i32, _i32, _i32]),
    "PMR_Merge": (None, [_ptr]),
    "PMR_IPLAllocSrcBuffer32": (None, []),
    "PMR_IPLAllocDstBuffer32": (None, []),
    "PMR_IPLFreeSrcBuffer32": (None, []),
    "PMR_IPLFreeDstBuffer32": (None, []),
    "PMR_IPLImageProcess": (None, [_i32, _str, _i32] + [_i32] * 6 + [_i32] * 8 + [_i32] * 3 + [_str]),
    "PMR_IPLGetEffectName": (_str, [_i32]),
    "PMR_IPLGetEffectReads": (ctypes.c_uint32, [_i32]),
    "PMR_IPLGetEffectSummary": (_str, [_i32]),
    "PMR_IPLGetEffectParameter": (_i32, [_i32, _i32] + [ctypes.POINTER(_i32)] * 5
                                  + [ctypes.POINTER(_str)] * 2),
    "PMR_ReadFromFile": (_i32, [_str]),
    "PMR_GetNewRGBAWidth": (_i32, []),
    "PMR_GetNewRGBAHeight": (_i32, []),
    "PMR_GetNewRGBA32": (None, [_ptr]),
    "PMR_DeleteNewRGBA": (_i32, []),
    "PMR_WriteToFileRGBA32": (_i32, [_ptr, _i32, _i32, _str, _str, _i32]),
    "PMR_WriteToFileRGB24": (_i32, [_ptr, _i32, _i32, _str, _str, _i32]),
    "PMR_SetMessageBoxCallback": (None, [_ptr, _ptr]),
}

MESSAGE_BOX = ctypes.CFUNCTYPE(None, _str, _str, _ptr)


def _candidates():
    chosen = os.environ.get("PALMORA_LIBRARY")
    if chosen:
        yield chosen
        return
    found = ctypes.util.find_library("palmora")
    if found:
        yield found
    yield "libpalmora.so.0"
    for prefix in ("/usr/local/lib", "/usr/lib"):
        yield os.path.join(prefix, "libpalmora.so.0")


def loaded_path():
    """The file the library was loaded from, as the process maps it."""
    try:
        with open("/proc/self/maps") as maps:
            for line in maps:
                path = line.split(maxsplit=5)[-1].strip()
                if os.path.basename(path).startswith("libpalmora.so"):
                    return path
    except OSError:
        pass
    return ctypes.util.find_library("palmora") or "libpalmora.so.0"


def load():
    errors = []
    for name in _candidates():
        try:
            library = ctypes.CDLL(name)
        except OSError as error:
            errors.append(str(error))
            continue
        for export, (result, arguments) in _EXPORTS.items():
            function = getattr(library, export)
            function.restype = result
            function.argtypes = arguments
        return library
    raise ImportError("cannot load libpalmora (set PALMORA_LIBRARY to its path): "
                      + "; ".join(errors))
