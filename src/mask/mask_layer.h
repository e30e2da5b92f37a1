// Conversions between the mask plane and the current layer.
#pragma once

namespace mask {

// Each does nothing unless a current layer with canvas-sized pixels exists.
void CreateImageFromMask();
void CreateAlphaFromMask();
void CreateMaskFromAlpha();
void CreateMaskFromImage();
void CreateMaskFromImageLuma();

}  // namespace mask
