-- Paint strokes: records a paint script (scripts/luapaint.srp under the start directory) of
-- brush strokes that follow the picture's colours, for the host to replay with its brushes.
-- The picture itself is left as it is.
--   slider 1  the spacing between strokes in pixels (thousandths; 0 counts as 24)
--   slider 2  the brush size in pixels (thousandths; 0 counts as the spacing)
--   slider 3  the stroke length in pixels (thousandths; 0 counts as twice the spacing)
--   style 1   the brush: 1 oil, 2 pencil, 3 airbrush
--   flag 1    strokes run along the picture's edges instead of in one direction
local spacing = sliderVal1 > 0 and math.floor(sliderVal1) or 24
local size = sliderVal2 > 0 and sliderVal2 or spacing
local length = sliderVal3 > 0 and sliderVal3 or spacing * 2
local brushes = { "oil", "pencil", "airbrush" }

paint_open(1234)
paint_select_brush(brushes[styleVal1] or "oil", 0, 0)
paint_brush_size(size)
paint_brush_density(100)
paint_brush_opacity(90)

for y = math.floor(spacing / 2), bound_y1, spacing do
  for x = math.floor(spacing / 2), bound_x1, spacing do
    local r, g, b = get_rgb(x, y)
    paint_brush_color(r, g, b)
    local angle = 0.6
    if flagVal1 then
      -- Along the edge: across the direction in which the brightness changes most.
      local gx = get_value(x + 1, y) - get_value(x - 1, y)
      local gy = get_value(x, y + 1) - get_value(x, y - 1)
      angle = math.atan2(gy, gx) + math.pi / 2
    end
    local ex, ey = math.cos(angle) * length / 2, math.sin(angle) * length / 2
    paint_stroke_start(x - ex, y - ey)
    for i = 0, 4 do
      local t = i / 4
      paint_stroke_pos(x - ex + 2 * ex * t, y - ey + 2 * ey * t, 0.6 + 0.4 * math.sin(t * math.pi))
    end
    paint_stroke_stop()
  end
end
paint_close()
