-- Mask from hue: selects the pixels whose hue lies near a chosen one, with a soft edge; the
-- picture itself is not changed.
--   slider 1  the hue to select, in degrees 0 to 359 (thousandths: 120000 is green)
--   slider 2  the range on either side, in degrees (thousandths; 0 counts as 30)
--   slider 3  the soft edge beyond the range, in degrees (thousandths)
--   flag 1    add to the present mask instead of replacing it
--   flag 2    ignore nearly grey pixels (saturation below 0.1)
local centre = sliderVal1 % 360
local range = sliderVal2 > 0 and sliderVal2 or 30
local soft = sliderVal3 > 0 and sliderVal3 or 0

for y = bound_y0, bound_y1 do
  for x = bound_x0, bound_x1 do
    local h, s = get_hsv(x, y)
    local weight = 0
    if h >= 0 and not (flagVal2 and s < 0.1) then
      local d = math.abs(h - centre)
      if d > 180 then d = 360 - d end
      if d <= range then
        weight = 1
      elseif soft > 0 and d < range + soft then
        weight = 1 - (d - range) / soft
      end
    end
    if flagVal1 then weight = math.max(weight, get_mask(x, y)) end
    set_mask(x, y, weight)
  end
end
