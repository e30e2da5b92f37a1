#include "paint_replay.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

#include "brush_presets.h"
#include "data_folder.h"
#include "dab_spacer.h"
#include "host_error.h"
#include "palmora/palmora.h"

namespace host {
namespace {

int Clamp(double value, int low, int high) {
  if (!(value >= low)) return low;  // also NaN
  return value > high ? high : int(value);
}

// 100 times the largest canvas side.
constexpr double kFarthestCoordinate = 1e6;

int Round(double value) { return int(std::floor(value + 0.5)); }

// Pressure as recorded: 0..1. A script that records none (0 or less) paints at full pressure.
double Pressure(double recorded) { return recorded <= 0 ? 1.0 : std::min(recorded, 1.0); }

class Replayer {
 public:
  Replayer(Canvas& canvas, std::string name) : canvas_(canvas), name_(std::move(name)) {}

  void Play(const Record& r) {
    line_ = r.line;
    switch (r.kind) {
      case RecordKind::kSelectBrush:
        SelectBrush(r);
        break;
      case RecordKind::kSetBrushSize:
        size_ = int(std::lround(InRange(r, 0, 1, kMaxBrushSize, "the brush size")));
        toolDirty_ = true;
        break;
      case RecordKind::kSetBrushDensity:
        densityPercent_ = InRange(r, 0, 0, 100, "the density");
        break;
      case RecordKind::kSetBrushOpacity:
        opacityPercent_ = InRange(r, 0, 0, 100, "the opacity");
        break;
      case RecordKind::kCanvasSize:
        break;  // taken by the command before the canvas is made
      case RecordKind::kSetColor:
        for (int c = 0; c < 3; ++c) colour_[c] = int(InRange(r, c, 0, 255, "a colour channel"));
        PMR_SetColor(colour_[0], colour_[1], colour_[2]);
        break;
      case RecordKind::kSetColorBanks: {
        int v[12];
        for (int i = 0; i < 12; ++i) v[i] = int(InRange(r, i + 1, 0, 255, "a bank channel"));
        PMR_SetColorBanks(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11]);
        break;
      }
      case RecordKind::kDrawStart:
        if (stroke_) Fail("DrawStart inside a stroke (the previous one has no DrawStop)");
        stroke_ = PenPoint{Coordinate(r, 0), Coordinate(r, 1), 0};
        strokeStarted_ = false;
        break;
      case RecordKind::kSmoothPlot2:
        Plot(r);
        break;
      case RecordKind::kDrawStop:
        if (!stroke_) Fail("DrawStop without a DrawStart");
        EndStroke();
        break;
      case RecordKind::kLine2:
        OneShot([&] {
          PenDown({Coordinate(r, 0), Coordinate(r, 1), 1});
          PenMove({Coordinate(r, 2), Coordinate(r, 3), 1});
        });
        break;
      case RecordKind::kSpline:
        OneShot([&] {
          const PenPoint p0{Coordinate(r, 0), Coordinate(r, 1), 1},
              p1{Coordinate(r, 2), Coordinate(r, 3), 1}, p2{Coordinate(r, 4), Coordinate(r, 5), 1},
              p3{Coordinate(r, 6), Coordinate(r, 7), 1};
          PenDown(p0);
          FlattenCubic(p0, p1, p2, p3, [&](const PenPoint& p) { PenMove(p); });
        });
        break;
      case RecordKind::kDab:
        OneShot([&] { PenDown({Coordinate(r, 0), Coordinate(r, 1), Pressure(r.Number(2))}); });
        break;
      case RecordKind::kFilter:
        Filter(r);
        break;
    }
  }

  void Finish() {
    if (stroke_) EndStroke();  // a recording that stopped mid-stroke
  }

  const ReplayCounts& counts() const { return counts_; }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw HostError(name_ + ":" + std::to_string(line_) + ": " + what);
  }

  // A position field: a finite number no further from the origin than kFarthestCoordinate. Far
  // larger figures come only from damaged or hostile scripts (and would overflow pixel positions).
  double Coordinate(const Record& r, std::size_t field) const {
    const double v = r.Number(field);
    if (!(std::fabs(v) <= kFarthestCoordinate)) {
      // Each field sits on its own line after the record's keyword.
      throw HostError(name_ + ":" + std::to_string(r.line + 1 + int(field)) + ": coordinate " +
                      r.fields[field].text + " is far outside any canvas");
    }
    return v;
  }

  // A recorded value outside what it can be is an error in the script, not something to guess at.
  double InRange(const Record& r, std::size_t i, double low, double high, const char* what) const {
    const double value = r.Number(i);
    if (!(value >= low && value <= high))
      Fail(std::string(what) + " " + r.fields[i].text + " is outside " + std::to_string(int(low)) +
           ".." + std::to_string(int(high)));
    return value;
  }

  void SelectBrush(const Record& r) {
    const BrushPreset* preset = FindBrushPreset(r.fields[0].text);
    if (!preset) Fail("unknown brush '" + r.fields[0].text + "' (see palmora paint --help)");
    if (stroke_) Fail("SelectBrush inside a stroke");
    preset_ = preset;
    angle_ = r.fields[1].isNumber ? Round(r.fields[1].number) : 0;
    const std::string& picture = r.fields[2].text;
    picture_ = (picture.size() < 2) ? "" : picture;  // "0" or "" keeps the brush's own picture
    imageLoaded_.reset();
    toolDirty_ = true;
  }

  // SmoothPlot2: x, y, pressure, start marker, end marker. The markers frame a stroke's positions
  // and carry none themselves.
  void Plot(const Record& r) {
    if (!stroke_) Fail("SmoothPlot2 outside a stroke");
    if (r.Number(3) != 0 || r.Number(4) != 0) return;
    const PenPoint p{Coordinate(r, 0), Coordinate(r, 1), Pressure(r.Number(2))};
    if (!strokeStarted_) {
      // The pen touched down where DrawStart says, with the pressure of its first position.
      PenDown({stroke_->x, stroke_->y, p.pressure});
      strokeStarted_ = true;
    }
    PenMove(p);
  }

  template <class Fn>
  void OneShot(Fn&& draw) {
    if (stroke_) Fail("a Line2, Spline or Dab record inside a stroke");
    stroke_ = PenPoint{};
    strokeStarted_ = true;
    draw();
    EndStroke();
  }

  void EndStroke() {
    if (strokeStarted_) {
      if (!preset().direct) PMR_MergePaintLayer(kPaintingLayer);
      // A stroke whose dabs all fell off the sheet changed nothing: committing it would store the
      // whole canvas as an undo step that undoes nothing.
      if (strokeReachedSheet_) PMR_SaveUndoBuffer(1, 0);
      canvas_.CheckEngine(name_ + ":" + std::to_string(line_) + ": committing the stroke");
      ++counts_.strokes;
    }
    stroke_.reset();
    strokeStarted_ = false;
    strokeReachedSheet_ = false;
    spacer_.reset();
  }

  const BrushPreset& preset() const { return *preset_; }

  // The whole tool, rebuilt when the brush or its size changes. PMR_SetTool restarts the random
  // sequence, so a replay reproduces the recording's grit and variation.
  void ApplyTool() {
    if (!toolDirty_) return;
    const BrushPreset& b = preset();
    PMR_SetSize(size_);
    // A textured brush takes SelectBrush's picture as its texture when the script names one.
    const std::string texture =
        !b.texture[0] ? std::string() : DataPath(picture_.empty() ? b.texture : picture_);
    PMR_SetTool(b.shapeScale, b.gritSize, b.gritCellThreshold, b.gritFillThreshold, b.edgeSoftness,
                b.colorVary, b.drawingLength, b.blendStrength, b.blendPrimaryColorStrength,
                b.blendRemix, 0, 0, 0, texture.c_str(), "", angle_);
    PMR_SetPixLumVary(b.pixLumVary);
    PMR_SetPixColorVary(b.pixColorVary);
    PMR_SetImageBrushMode(b.imageBrush ? 1 : 0);
    PMR_SetRotateBrushMode(angle_ != 0 ? 1 : 0, angle_);
    scaledSize_ = -1;
    if (b.direct)
      PMR_DeletePaintLayer();
    else
      PMR_CreatePaintLayer(100, "Normal");  // returns the mode number; failures show as the error
    canvas_.CheckEngine(name_ + ":" + std::to_string(line_) + ": setting the brush");
    toolDirty_ = false;
  }

  int DabSide(double pressure) const {
    if (!preset().pressureSize) return size_;
    return std::max(1, Round(size_ * (0.3 + 0.7 * pressure)));
  }

  double Spacing(double pressure) const {
    return std::max(1.0, DabSide(pressure) * preset().spacing);
  }

  // Pressure reaches the brush only through the setters: the dab side and the opacity.
  void PressureSettings(double pressure) {
    const BrushPreset& b = preset();
    const int side = DabSide(pressure);
    if (side != scaledSize_) PMR_SetScaleSize(scaledSize_ = side);
    double alpha = opacityPercent_ * b.flowPercent / 100.0;
    if (b.pressureOpacity) alpha *= pressure;
    PMR_SetAlpha(Clamp(alpha, 0, 100));
    PMR_SetDensity(Clamp(std::lround(b.density * densityPercent_ / 100.0), 0, 256));
  }

  void PenDown(const PenPoint& p) {
    ApplyTool();
    const BrushPreset& b = preset();
    if (b.imageBrush)
      LoadImageBrush();
    else if (b.loadAmount >= 0)
      PMR_CopyBlendBufferSurface(Round(p.x), Round(p.y), b.loadAmount, 0);
    spacer_.emplace([this](double pressure) { return Spacing(pressure); },
                    [this](const PenPoint& at) { Dab(at); });
    firstDab_ = true;
    // A dab further out than the largest dab side cannot touch the canvas.
    spacer_->SetReach(-kMaxBrushSize, -kMaxBrushSize, double(canvas_.width()) + kMaxBrushSize,
                      double(canvas_.height()) + kMaxBrushSize);
    spacer_->Start(p);
  }

  void PenMove(const PenPoint& p) { spacer_->MoveTo(p); }

  void Dab(const PenPoint& p) {
    const BrushPreset& b = preset();
    const int x = Round(p.x), y = Round(p.y);
    PressureSettings(p.pressure);
    if (b.loadAmount >= 0 && b.pickupAmount > 0 && !firstDab_)
      PMR_MixBlendBufferSurface(x, y, b.pickupAmount);
    if (b.erase) PMR_SetEraseModeOn();  // one dab long; set again for every dab
    PMR_DrawDabGrit(x, y, colour_[0] << 8, colour_[1] << 8, colour_[2] << 8);
    // Generously: a dab within its whole side of the sheet may have touched it.
    const int reach = std::max(size_, DabSide(p.pressure)) + 1;
    if (x + reach >= 0 && y + reach >= 0 && x - reach < canvas_.width() &&
        y - reach < canvas_.height())
      strokeReachedSheet_ = true;
    firstDab_ = false;
    ++counts_.dabs;
  }

  // An image brush carries its picture as paint: the picture, resampled to the brush side, is
  // loaded into the carried paint through a canvas-sized plane that holds it at the top left.
  // Dabs then stamp it, its alpha shaping the dab.
  void LoadImageBrush() {
    const std::string path = DataPath(picture_.empty() ? preset().picture : picture_);
    if (!imageLoaded_ || *imageLoaded_ != path) {
      try {
        picture_pixels_ = ReadPicture(path);
      } catch (const HostError& error) {
        Fail(std::string("image brush: ") + error.what());
      }
      imageLoaded_ = path;
    }
    const int side = std::min({size_, canvas_.width(), canvas_.height()});
    // Only the top-left side x side square is read; the plane is made once per replay.
    if (plane_.empty()) plane_.assign(std::size_t(canvas_.width()) * canvas_.height() * 4, 0);
    const Picture& pic = picture_pixels_;
    for (int row = 0; row < side; ++row) {
      const int sy = row * pic.height / side;
      for (int col = 0; col < side; ++col) {
        const int sx = col * pic.width / side;
        const uint8_t* s = &pic.rgba[(std::size_t(sy) * pic.width + sx) * 4];
        uint16_t* d = &plane_[(std::size_t(row) * canvas_.width() + col) * 4];
        for (int c = 0; c < 4; ++c) d[c] = uint16_t(s[c] * 257);
      }
    }
    PMR_DoCopyBlendBuffer(size_ / 2, size_ / 2, plane_.data(), 0, 0);
  }

  void Filter(const Record& r) {
    if (stroke_) Fail("Filter inside a stroke");
    Canvas::EffectArguments e;
    e.name = r.fields[0].text;
    if (!IsKnownEffect(e.name)) Fail("unknown effect '" + e.name + "' (see palmora effect --list)");
    auto whole = [&](std::size_t i) { return int32_t(std::lround(r.Number(i))); };
    e.scriptValue = whole(1);
    for (int i = 0; i < 6; ++i) e.sliders[i] = whole(2 + i);
    for (int i = 0; i < 8; ++i) e.options[i] = whole(8 + i);
    e.red = int(InRange(r, 16, 0, 255, "the effect's red"));
    e.green = int(InRange(r, 17, 0, 255, "the effect's green"));
    e.blue = int(InRange(r, 18, 0, 255, "the effect's blue"));
    e.text = r.fields[19].text.size() < 2 ? "" : DataPath(r.fields[19].text);
    canvas_.RunEffect(e);
    ++counts_.filters;
  }

  using Spacer = DabSpacer<std::function<double(double)>, std::function<void(const PenPoint&)>>;

  Canvas& canvas_;
  std::string name_;
  int line_ = 0;
  const BrushPreset* preset_ = &BrushPresets()[0];  // the pencil, for scripts that pick no brush
  int size_ = 12;
  int angle_ = 0;
  std::string picture_;
  double densityPercent_ = 100;
  double opacityPercent_ = 100;
  int colour_[3] = {0, 0, 0};
  bool toolDirty_ = true;
  int scaledSize_ = -1;
  std::optional<PenPoint> stroke_;
  bool strokeStarted_ = false;
  bool strokeReachedSheet_ = false;  // some dab of the stroke may have changed the sheet
  bool firstDab_ = true;
  std::optional<Spacer> spacer_;
  std::optional<std::string> imageLoaded_;
  Picture picture_pixels_;
  std::vector<uint16_t> plane_;
  ReplayCounts counts_;
};

}  // namespace

ReplayCounts ReplayPaintScript(Canvas& canvas, const PaintScript& script, const std::string& name,
                               Progress* progress) {
  Replayer replayer(canvas, name);
  PMR_SetColor(0, 0, 0);
  for (std::size_t i = 0; i < script.records.size(); ++i) {
    replayer.Play(script.records[i]);
    if (progress) progress->Update(i + 1, script.records.size());
  }
  replayer.Finish();
  return replayer.counts();
}

}  // namespace host
