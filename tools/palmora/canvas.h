// The engine set up the way this host paints: one canvas with white paper in layer 1 and the
// painting in layer 2 (the current layer), an undo history, and the processing buffers effects
// read through. One Canvas at a time; it takes the engine down when it goes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "picture_io.h"

namespace host {

inline constexpr int kPaperLayer = 1;
inline constexpr int kPaintingLayer = 2;
// The largest brush side a script may ask for; larger sizes are taken as this one.
inline constexpr int kMaxBrushSize = 256;

class Canvas {
 public:
  // seed restarts the engine's random sequence before the canvas (and its random pools) is made.
  Canvas(int width, int height, uint32_t seed);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }

  // Puts a picture into the painting layer at (0, 0), clipped to the canvas.
  void LoadPainting(const Picture& picture);
  // Shows or hides the white paper under the painting.
  void ShowPaper(bool visible);

  // The flattened page (paper and painting) and the painting layer alone, as 8-bit pictures.
  Picture MergedPage() const;
  Picture PaintingLayer() const;
  // Saves the flattened page by path's extension; the file appears only once it is complete.
  void SavePage(const std::string& path, int dpi = 72) const;

  // Runs an effect on the painting through the dispatcher and commits it as an undo step.
  // Throws HostError for a name the dispatcher does not know or when the engine reports failure.
  struct EffectArguments {
    std::string name;
    int32_t scriptValue = 0;
    int32_t sliders[6] = {};
    int32_t options[8] = {};
    int32_t red = 0, green = 0, blue = 0;
    std::string text;
  };
  void RunEffect(const EffectArguments& effect);

  // Throws HostError with what the engine's last error says, when it says anything new.
  void CheckEngine(const std::string& what) const;

 private:
  int width_ = 0;
  int height_ = 0;
};

// Whether the effect dispatcher runs an effect of exactly this name, and every name it runs.
bool IsKnownEffect(const std::string& name);
std::vector<std::string> EffectNames();

}  // namespace host
