"""The binding against the engine it wraps: arrays in and out, effects, files and refusals."""
import os
import subprocess

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


def test_effect_descriptions_give_labels_ranges_defaults_and_a_summary():
    effects = {effect.name: effect for effect in palmora.effects()}
    assert all(effect.summary for effect in effects.values())
    softness = [p for p in effects["Vignette"].parameters if p.kind == "slider" and p.number == 4]
    assert softness == [palmora.Parameter("slider", 4, "softness", 0.0, 100.0, 50.0)]
    for effect in effects.values():
        # What a parameter's description says agrees with what the effect reads.
        assert {p.number for p in effect.parameters if p.kind == "slider"} == set(effect.sliders)
        assert {p.number for p in effect.parameters if p.kind == "option"} == set(effect.options)
        for p in effect.parameters:
            if p.kind in ("slider", "option", "script value"):
                assert p.low <= p.default <= p.high, (effect.name, p)


PROGRAM = os.environ.get("PALMORA_PROGRAM")


@pytest.mark.skipif(not PROGRAM, reason="PALMORA_PROGRAM names the palmora program to compare with")
@pytest.mark.parametrize("name", ["Duotone", "Vignette", "Lua Filter"])
def test_unset_parameters_take_the_defaults_the_program_takes(tmp_path, name):
    rng = np.random.default_rng(3)
    picture = rng.integers(0, 256, (24, 32, 4), dtype=np.uint8)
    picture[..., 3] = 255
    palmora.write_picture(tmp_path / "in.png", picture)
    subprocess.run([PROGRAM, "effect", name, str(tmp_path / "in.png"), str(tmp_path / "out.png"),
                    "-q"], check=True)
    with palmora.Canvas(32, 24) as canvas:
        canvas.load(picture)
        canvas.run_effect(name)
        after = canvas.layer_rgba32()
    assert not np.array_equal(after, picture)
    assert np.array_equal(after, palmora.read_picture(tmp_path / "out.png"))
