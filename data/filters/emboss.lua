-- Emboss: lights the picture from one side, using the brightness of each pixel's neighbours
-- (get_value), so edges stand out in relief on a mid-grey ground.
--   slider 1  depth, 0.1 to 10 (thousandths: 2000 is 2); 0 counts as 1
--   style 1   the light's direction: 1 from the top left, 2 from the top, 3 from the left
--   flag 1    keep the picture's colours: add the relief to them instead of to grey
local depth = sliderVal1
if depth <= 0 then depth = 1 end
local dx, dy = -1, -1
if styleVal1 == 2 then dx, dy = 0, -1 elseif styleVal1 == 3 then dx, dy = -1, 0 end
local keep = flagVal1

local function clampx(x) if x < 0 then return 0 elseif x > bound_x1 then return bound_x1 end return x end
local function clampy(y) if y < 0 then return 0 elseif y > bound_y1 then return bound_y1 end return y end

for y = bound_y0, bound_y1 do
  for x = bound_x0, bound_x1 do
    local lit = get_value(clampx(x + dx), clampy(y + dy))
    local shaded = get_value(clampx(x - dx), clampy(y - dy))
    local relief = (lit - shaded) * depth
    if keep then
      local r, g, b = get_rgb(x, y)
      set_rgb(x, y, r + relief, g + relief, b + relief)
    else
      local v = 0.5 + relief
      set_rgb(x, y, v, v, v)
    end
  end
end
