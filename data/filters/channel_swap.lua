-- Channel swap: rebuilds each pixel's red, green and blue from a chosen order of its channels.
--   style 1   the order: 1 RGB (unchanged), 2 RBG, 3 GRB, 4 GBR, 5 BRG, 6 BGR
--   flag 1    also invert the result
--   sliders   unused
local orders = {
  {1, 2, 3}, {1, 3, 2}, {2, 1, 3}, {2, 3, 1}, {3, 1, 2}, {3, 2, 1},
}
local order = orders[styleVal1] or orders[1]
local a, b, c = order[1], order[2], order[3]
local invert = flagVal1

for y = bound_y0, bound_y1 do
  for x = bound_x0, bound_x1 do
    local ch = { get_rgb(x, y) }
    local r, g, bl = ch[a], ch[b], ch[c]
    if invert then r, g, bl = 1 - r, 1 - g, 1 - bl end
    set_rgb(x, y, r, g, bl)
  end
end
