-- Posterize: reduces each colour channel to a few evenly spaced levels.
--   slider 1  levels per channel, 2 to 32 (the dialog sends thousandths: 4000 is 4 levels);
--             below 2 counts as 2
--   flag 1    keep the picture's own brightness: posterize only the hue and saturation (HSV)
--   styles    unused
local levels = math.floor(sliderVal1)
if levels < 2 then levels = 2 end
if levels > 32 then levels = 32 end
local step = levels - 1

local function quantise(v)
  return math.floor(v * step + 0.5) / step
end

for y = bound_y0, bound_y1 do
  for x = bound_x0, bound_x1 do
    if flagVal1 then
      local h, s, v = get_hsv(x, y)
      if h >= 0 then
        set_hsv(x, y, math.floor(quantise(h / 360) * 359), quantise(s), v)
      end
    else
      local r, g, b = get_rgb(x, y)
      set_rgb(x, y, quantise(r), quantise(g), quantise(b))
    end
  end
  progress(y / bound_y1)
end
