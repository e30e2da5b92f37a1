// Turning a pen path into dab positions: dabs follow the path at a distance that depends on the
// pressure (a wider dab needs fewer), the pressure itself interpolated along each segment.
#pragma once

#include <algorithm>
#include <cmath>

namespace host {

struct PenPoint {
  double x = 0, y = 0;
  double pressure = 1;
};

template <class SpacingFn, class DabFn>
class DabSpacer {
 public:
  DabSpacer(SpacingFn spacing, DabFn dab) : spacing_(spacing), dab_(dab) {}

  // The pen goes down: the first dab lands where it touches.
  void Start(const PenPoint& p) {
    last_ = p;
    dab_(p);
    untilNext_ = spacing_(p.pressure);
  }

  // Dabs are placed only where they can touch the picture: within the rectangle minX..maxX x
  // minY..maxY (the canvas grown by the largest dab). Along a path that leaves it no dabs are
  // placed, and where the path comes back the next dab lands at the entry point. Without a reach,
  // the whole plane counts.
  void SetReach(double minX, double minY, double maxX, double maxY) {
    reach_ = true;
    minX_ = minX, minY_ = minY, maxX_ = maxX, maxY_ = maxY;
  }

  // The pen moves to p: a dab every spacing along the way, none for a pen that stays put.
  void MoveTo(const PenPoint& p) {
    const double dx = p.x - last_.x, dy = p.y - last_.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    double enter = 0, leave = length;
    if (!Clip(dx, dy, length, enter, leave)) {
      untilNext_ = std::max(0.0, untilNext_ - length);
      last_ = p;
      return;
    }
    double travelled = 0;
    if (enter > 0 && untilNext_ < enter) {
      travelled = enter;  // the dabs before the entry would touch nothing
      untilNext_ = 0;
    }
    while (length - travelled >= untilNext_ && travelled + untilNext_ <= leave) {
      travelled += untilNext_;
      const double t = travelled / length;
      const PenPoint at{last_.x + dx * t, last_.y + dy * t,
                        last_.pressure + (p.pressure - last_.pressure) * t};
      dab_(at);
      untilNext_ = spacing_(at.pressure);
    }
    untilNext_ = std::max(0.0, untilNext_ - (length - travelled));
    last_ = p;
  }

 private:
  // The part enter..leave (distances from last_) of the move that lies in the reach; false when
  // none does.
  bool Clip(double dx, double dy, double length, double& enter, double& leave) const {
    if (!reach_) return true;
    if (length == 0)
      return last_.x >= minX_ && last_.x <= maxX_ && last_.y >= minY_ && last_.y <= maxY_;
    double t0 = 0, t1 = 1;
    auto side = [&](double towards, double room) {  // room: distance to the edge, scaled by length
      if (towards == 0) return room >= 0;
      const double t = room / towards;
      if (towards < 0)
        t0 = std::max(t0, t);
      else
        t1 = std::min(t1, t);
      return true;
    };
    if (!side(-dx, last_.x - minX_) || !side(dx, maxX_ - last_.x) || !side(-dy, last_.y - minY_) ||
        !side(dy, maxY_ - last_.y) || t0 > t1)
      return false;
    enter = t0 * length;
    leave = t1 * length;
    return true;
  }

  SpacingFn spacing_;
  DabFn dab_;
  PenPoint last_;
  double untilNext_ = 1;
  bool reach_ = false;
  double minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;
};

// A cubic curve from p0 to p3 with control points p1 and p2 as short straight pieces (about two
// pixels each), passed to move(point) in order; p0 itself is not passed.
template <class MoveFn>
void FlattenCubic(const PenPoint& p0, const PenPoint& p1, const PenPoint& p2, const PenPoint& p3,
                  MoveFn move) {
  const double hull = std::hypot(p1.x - p0.x, p1.y - p0.y) + std::hypot(p2.x - p1.x, p2.y - p1.y) +
                      std::hypot(p3.x - p2.x, p3.y - p2.y);
  const int pieces = std::max(1, std::min(4096, int(hull / 2)));
  for (int i = 1; i <= pieces; ++i) {
    const double t = double(i) / pieces, u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    move(PenPoint{a * p0.x + b * p1.x + c * p2.x + d * p3.x,
                  a * p0.y + b * p1.y + c * p2.y + d * p3.y, u * p0.pressure + t * p3.pressure});
  }
}

}  // namespace host
