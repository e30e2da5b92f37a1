"""The binding against the engine it wraps: arrays in and out, effects, files and refusals."""
import numpy as np
import pytest

import palmora


def test_effect_list_names_each_effect_and_what_it_reads():
    effects = {effect.name: effect for effect in palmora.effects()}
    assert len(effects) > 20
    assert effects["Lua Filter"].text and effects["Lua Filter"].sliders == (1, 2, 3, 4, 5, 6)
    assert all(set(e.sliders) <= set(range(1, 7)) for e in effects.values())


def test_pictures_round_trip_through_the_layer_and_a_png(tmp_path):
    rng = np.random.default_rng(7)
    picture = rng.integers(0, 256, (30, 40, 4), dtype=np.uint8)
    with palmora.Canvas(40, 30) as canvas:
        canvas.load(picture)
        # 8 bits go in as the high byte of the engine's 16; a fully clear pixel keeps no colour.
        expected = picture.copy()
        expected[picture[..., 3] == 0] = 0
        assert np.array_equal(canvas.layer() >> 8, expected)
        assert np.array_equal(canvas.layer_rgba32(), expected)
        deep = rng.integers(0, 65536, (30, 40, 4), dtype=np.uint16)
        canvas.load(deep)
        assert np.array_equal(canvas.layer(), deep)
    palmora.write_picture(tmp_path / "p.png", picture)
    assert np.array_equal(palmora.read_picture(tmp_path / "p.png"), picture)


def test_an_effect_changes_the_layer_and_a_failing_one_raises(tmp_path):
    grey = np.full((20, 20, 4), 128, np.uint8)
    grey[..., 3] = 255
    with palmora.Canvas(20, 20) as canvas:
        canvas.load(grey)
        canvas.run_effect("Vignette", sliders=[15, 10, 25, 100], options={3: 1})
        after = canvas.layer_rgba32()
        # Darker corners, the centre as it was.
        assert after[0, 0, 0] < 128 and after[10, 10, 0] >= after[0, 0, 0]
        script = tmp_path / "raises.lua"
        script.write_text("error('no good')\n")
        with pytest.raises(palmora.PalmoraError, match="no good"):
            canvas.run_effect("Lua Filter", text=str(script))
        with pytest.raises(palmora.PalmoraError, match="unknown effect"):
            canvas.run_effect("No Such Effect")


def test_refusals_raise_and_change_nothing(tmp_path):
    with palmora.Canvas(8, 8) as canvas:
        with pytest.raises(palmora.PalmoraError, match="one canvas"):
            palmora.Canvas(4, 4)
        with pytest.raises(ValueError):
            canvas.load(np.zeros((4, 4, 4), np.uint8))
        with pytest.raises(ValueError):
            canvas.layer(64)
        with pytest.raises(ValueError):
            canvas.run_effect("Vignette", sliders=[150])
    with pytest.raises(palmora.PalmoraError):
        palmora.read_picture(tmp_path / "none.png")
    with palmora.Canvas(4, 4):  # the closed canvas let a new one open
        pass
