#include "view/ChuckBuilder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <span>

#include "platform/Canvas.h"
#include "platform/Numbers.h"
#include "workpiece/MaterialRemoval.h"

namespace soustruh {
namespace {

struct Point64 {
  std::int64_t h = 0;
  std::int64_t v = 0;
};

constexpr std::int64_t kMm = 10000;

std::int32_t Hold(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int64_t Round(long double value) {
  return static_cast<std::int64_t>(RoundHalfEven(value));
}

class ShapeWriter {
 public:
  ShapeWriter(TUtvar& shapes, BgrColour pen) : shapes_(shapes), pen_(pen) {}

  template <typename Points>
  void Polygon(BgrColour brush, const Points& points) {
    shapes_.push_back(ShapeEntry{static_cast<std::int32_t>(std::size(points)), 0});
    shapes_.push_back(ShapeEntry{pen_, brush});
    for (const Point64& p : points) shapes_.push_back(ShapeEntry{Hold(p.h), Hold(p.v)});
  }

 private:
  TUtvar& shapes_;
  BgrColour pen_;
};

struct ChuckPoints {
  std::array<Point64, 14> q;  // Q0 .. Q13
  std::size_t jawCount = 10;  // points of the upper jaw, from Q4
};

void DrawStationary(const MachineConfig& c, const ChuckPoints& p, ShapeWriter& out) {
  const auto& q = p.q;
  const std::size_t n = p.jawCount;
  out.Polygon(c.Sklic_Vypln, std::array{q[0], q[1], q[2], q[3]});
  const std::span<const Point64> upper(q.data() + 4, n);
  out.Polygon(c.Sklic_Vypln, upper);

  const bool three = c.Poc_celisti == 3;
  const long double k1 = three ? -0.5L : -1.0L;
  const long double k2 = three ? std::cos(std::numbers::pi_v<long double> / 6) : 0.0L;
  std::array<Point64, 10> lower{};
  for (std::size_t i = 0; i < n; ++i)
    lower[i] = Point64{upper[i].h, Round(static_cast<long double>(upper[i].v) * k1 +
                                         static_cast<long double>(c.Celist_tl) / 2 * k2)};
  out.Polygon(c.Sklic_Vypln, std::span<const Point64>(lower.data(), n));

  const std::int64_t half = c.Celist_tl / 2;
  const std::int64_t hang = Round(static_cast<long double>(c.Celist_tl) * k2);
  for (std::size_t step = 0; step < 3; ++step) {
    const std::int64_t left = q[4 + 2 * step].h;
    const std::int64_t right = q[5 + 2 * step].h;
    const std::int64_t e = lower[2 * step].v;
    const std::int64_t top = three ? e : half;
    const std::int64_t bottom = three ? e - hang : -half;
    out.Polygon(c.Sklic_Stin, std::array{Point64{left, top}, Point64{right, top},
                                         Point64{right, bottom}, Point64{left, bottom}});
  }
}

void DrawRotating(const MachineConfig& c, const ChuckPoints& p, int spindle, ShapeWriter& out) {
  auto q = p.q;
  if (q[1].h > q[4].h) q[1].h = q[2].h = q[4].h;
  out.Polygon(c.Sklic_Vypln, std::array{q[0], q[1], q[2], q[3]});

  std::array<Point64, 12> envelope{};
  for (std::size_t i = 0; i < 6; ++i) {
    envelope[i] = q[4 + i];
    envelope[11 - i] = Point64{q[4 + i].h, -q[4 + i].v};
  }
  out.Polygon(c.Sklic_Vypln, envelope);

  const std::int64_t m = (q[0].h + q[1].h) / 2;
  const std::int64_t rc = q[0].v;
  std::array<Point64, 7> arrow{{{m - 2 * kMm, rc - 10 * kMm},
                                {m + 2 * kMm, rc - 10 * kMm},
                                {m + 2 * kMm, -rc + 20 * kMm},
                                {m + 7 * kMm, -rc + 23 * kMm},
                                {m, -rc + 10 * kMm},
                                {m - 7 * kMm, -rc + 23 * kMm},
                                {m - 2 * kMm, -rc + 20 * kMm}}};
  if (spindle == kSpindleM04)
    for (Point64& point : arrow) point.v = -point.v;
  out.Polygon(c.Sklic_Stin, arrow);
}

}  // namespace

ChuckForm ChuckFormFor(int spindle, const AlarmSet& alarms, bool interpreterError, bool dryRun) {
  if (spindle == kSpindleStopped || !alarms.Empty() || interpreterError || dryRun)
    return ChuckForm::Stationary;
  return ChuckForm::Rotating;
}

bool BuildChuck(const MachineConfig& c, std::int32_t stockRadius, ChuckForm form, int spindle,
                TUtvar& chuck) {
  chuck.clear();
  const std::int64_t zc = c.Sklicidlo_Z;
  const std::int64_t body = zc + c.Sklicidlo_L;  // the body's far face
  const std::int64_t rc = c.Sklicidlo_D / 2;
  const std::int64_t front = zc + std::int64_t{c.Cel_L_sklic};
  const std::int64_t x0 = front - c.Celist_L3;
  const std::int64_t sr = stockRadius;
  const std::int64_t top = sr + c.Celist_H3;
  if (x0 + c.Celist_L1 <= body) return false;

  ChuckPoints p;
  p.q = {{{zc, rc},
          {body, rc},
          {body, -rc},
          {zc, -rc},
          {x0, top},
          {x0 + c.Celist_L1, top},
          {x0 + c.Celist_L1, top - c.Celist_H1},
          {x0 + c.Celist_L2, top - c.Celist_H1},
          {x0 + c.Celist_L2, top - c.Celist_H2},
          {front, top - c.Celist_H2},
          {front, sr},
          {std::max(x0, body), sr},
          {body, rc},
          {x0, rc}}};
  if (top <= rc) {
    p.jawCount = 8;
    p.q[4].h = body;
  }
  ShapeWriter out(chuck, c.Sklic_Cara);
  if (form == ChuckForm::Stationary)
    DrawStationary(c, p, out);
  else
    DrawRotating(c, p, spindle, out);
  return true;
}

}  // namespace soustruh
