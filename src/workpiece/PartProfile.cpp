#include "workpiece/PartProfile.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "nc/ValueReaders.h"

namespace soustruh {
namespace {

struct Edge {
  double z0, y0, z1, y1;  // z0 < z1

  double At(double z) const { return y0 + (y1 - y0) * (z - z0) / (z1 - z0); }
};

std::int32_t OffsetText(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  std::size_t index = first == std::string::npos ? 0 : first;
  const ReadResult r = ScanDecimal(text, 3, 3, true, index);
  return r.error == kErrNone ? r.value : 0;
}

// Whether q lies on the segment p–s within half a length unit.
bool OnSegment(const ProfilePoint& p, const ProfilePoint& q, const ProfilePoint& s) {
  if (q.z < std::min(p.z, s.z) || q.z > std::max(p.z, s.z) || q.r < std::min(p.r, s.r) ||
      q.r > std::max(p.r, s.r))
    return false;
  const double dz = static_cast<double>(s.z - p.z), dr = static_cast<double>(s.r - p.r);
  const double length = std::hypot(dz, dr);
  if (length == 0) return true;
  const double cross = dz * static_cast<double>(q.r - p.r) - dr * static_cast<double>(q.z - p.z);
  return std::fabs(cross) / length <= 0.5;
}

std::vector<ProfilePoint> WithoutCollinear(const std::vector<ProfilePoint>& points) {
  std::vector<ProfilePoint> kept;
  for (const ProfilePoint& p : points) {
    if (!kept.empty() && kept.back() == p) continue;
    while (kept.size() >= 2 && OnSegment(kept[kept.size() - 2], kept.back(), p)) kept.pop_back();
    kept.push_back(p);
  }
  return kept;
}

constexpr std::int64_t kShortestStep = 50;  // 0.005 mm

struct DPoint {
  double z, r;
};

// The radius at z in double precision, the larger at a face; NaN outside the profile.
double RadiusAtD(const std::vector<ProfilePoint>& pts, double z) {
  if (pts.empty() || z < static_cast<double>(pts.front().z) ||
      z > static_cast<double>(pts.back().z))
    return std::numeric_limits<double>::quiet_NaN();
  auto it = std::lower_bound(pts.begin(), pts.end(), z, [](const ProfilePoint& p, double v) {
    return static_cast<double>(p.z) < v;
  });
  if (static_cast<double>(it->z) == z) {
    double best = 0;
    for (; it != pts.end() && static_cast<double>(it->z) == z; ++it)
      best = std::max(best, static_cast<double>(it->r));
    return best;
  }
  const ProfilePoint& b = *it;
  const ProfilePoint& a = *(it - 1);
  const double t = (z - static_cast<double>(a.z)) / static_cast<double>(b.z - a.z);
  return static_cast<double>(a.r) + t * static_cast<double>(b.r - a.r);
}

struct Nearest {
  double distance = std::numeric_limits<double>::infinity();
  DPoint at{0, 0};
};

// The nearest point of the polyline to p among the segments whose z range meets
// [p.z − bound, p.z + bound].
Nearest NearestOnContour(const std::vector<ProfilePoint>& pts, DPoint p, double bound) {
  Nearest best;
  const auto lo = std::lower_bound(
      pts.begin(), pts.end(), p.z - bound,
      [](const ProfilePoint& q, double v) { return static_cast<double>(q.z) < v; });
  const auto hi = std::upper_bound(
      pts.begin(), pts.end(), p.z + bound,
      [](double v, const ProfilePoint& q) { return v < static_cast<double>(q.z); });
  const std::size_t first = lo == pts.begin() ? 0 : static_cast<std::size_t>(lo - pts.begin()) - 1;
  const std::size_t last = std::min(pts.size() - 1, static_cast<std::size_t>(hi - pts.begin()));
  for (std::size_t i = first; i < last; ++i) {
    const DPoint a{static_cast<double>(pts[i].z), static_cast<double>(pts[i].r)};
    const DPoint b{static_cast<double>(pts[i + 1].z), static_cast<double>(pts[i + 1].r)};
    const double dz = b.z - a.z, dr = b.r - a.r;
    const double len2 = dz * dz + dr * dr;
    const double t =
        len2 == 0 ? 0 : std::clamp(((p.z - a.z) * dz + (p.r - a.r) * dr) / len2, 0.0, 1.0);
    const DPoint q{a.z + t * dz, a.r + t * dr};
    const double d = std::hypot(p.z - q.z, p.r - q.r);
    if (d < best.distance) best = Nearest{d, q};
  }
  return best;
}

ProfilePoint Rounded(DPoint p) {
  return ProfilePoint{std::llround(p.z), std::llround(p.r)};
}

struct OneSided {
  double distance = 0;  // length units
  ProfilePoint at, to;
};

// Samples the contour of `from` every kSampleStep units and measures, for each sample lying
// outside `to`, the distance to `to`'s contour. Half a unit counts as on the contour, so two
// identical profiles give exactly 0 despite the rounding of the interpolation.
OneSided FarthestOutside(const PartProfile& from, const PartProfile& to, std::int64_t zFrom,
                         std::int64_t zTo) {
  constexpr double kSampleStep = 10;  // 0.001 mm
  OneSided worst;
  const auto& pts = from.points;
  for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
    const DPoint a{static_cast<double>(pts[i].z), static_cast<double>(pts[i].r)};
    const DPoint b{static_cast<double>(pts[i + 1].z), static_cast<double>(pts[i + 1].r)};
    if (std::max(a.z, b.z) < static_cast<double>(zFrom) ||
        std::min(a.z, b.z) > static_cast<double>(zTo))
      continue;
    const double length = std::hypot(b.z - a.z, b.r - a.r);
    const auto n =
        std::max<std::int64_t>(1, static_cast<std::int64_t>(std::ceil(length / kSampleStep)));
    for (std::int64_t k = 0; k <= n; ++k) {
      const double t = static_cast<double>(k) / static_cast<double>(n);
      const DPoint p{a.z + t * (b.z - a.z), a.r + t * (b.r - a.r)};
      if (p.z < static_cast<double>(zFrom) || p.z > static_cast<double>(zTo)) continue;
      const double toR = RadiusAtD(to.points, p.z);
      const bool inRange = !std::isnan(toR);
      if (inRange ? p.r <= toR + 0.5 : p.r <= 0.5) continue;
      const double bound = inRange ? p.r - toR : std::numeric_limits<double>::infinity();
      if (bound <= worst.distance) continue;  // cannot beat the worst found so far
      const Nearest nearest = NearestOnContour(to.points, p, bound);
      if (nearest.distance > worst.distance)
        worst = OneSided{nearest.distance, Rounded(p), Rounded(nearest.at)};
    }
  }
  return worst;
}

}  // namespace

WorkpieceFrame FrameOfOffset(const WorkOffsetTable& table, int code) {
  const WorkOffset* offset = table.Find(code);
  if (offset == nullptr) return {};
  return WorkpieceFrame{OffsetText(offset->X), OffsetText(offset->Z)};
}

PartProfile ProfileOf(const StockSection& section, const WorkpieceFrame& frame) {
  std::vector<std::int64_t> zs;
  std::vector<Edge> edges;
  for (const TPolygon& polygon : section) {
    for (std::size_t i = 0; i < polygon.size(); ++i) {
      const ClipPoint& a = polygon[i];
      const ClipPoint& b = polygon[(i + 1) % polygon.size()];
      if (std::max(a.Y, b.Y) <= 0) continue;
      zs.push_back(a.X);
      zs.push_back(b.X);
      if (a.X == b.X) continue;
      const bool forward = a.X < b.X;
      const ClipPoint& s = forward ? a : b;
      const ClipPoint& e = forward ? b : a;
      edges.push_back(Edge{static_cast<double>(s.X), static_cast<double>(s.Y),
                           static_cast<double>(e.X), static_cast<double>(e.Y)});
    }
  }
  std::sort(zs.begin(), zs.end());
  zs.erase(std::unique(zs.begin(), zs.end()), zs.end());
  PartProfile profile;
  if (zs.size() < 2) return profile;

  // Edges of a clipping result never cross, so between two neighbouring vertex Zs one edge stays
  // on top throughout: the one highest at the middle of the interval.
  std::vector<const Edge*> top(zs.size() - 1, nullptr);
  std::vector<double> topY(zs.size() - 1, 0.0);
  for (const Edge& e : edges) {
    const auto lo = std::lower_bound(zs.begin(), zs.end(), static_cast<std::int64_t>(e.z0));
    const auto hi = std::lower_bound(lo, zs.end(), static_cast<std::int64_t>(e.z1));
    for (auto it = lo; it != hi; ++it) {
      const auto i = static_cast<std::size_t>(it - zs.begin());
      const double mid = (static_cast<double>(zs[i]) + static_cast<double>(zs[i + 1])) / 2;
      const double y = e.At(mid);
      if (y > topY[i]) {
        topY[i] = y;
        top[i] = &e;
      }
    }
  }

  std::vector<ProfilePoint> raw;
  raw.push_back({zs.front(), 0});
  for (std::size_t i = 0; i + 1 < zs.size(); ++i) {
    const auto at = [&](std::int64_t z) {
      return top[i] == nullptr
                 ? std::int64_t{0}
                 : std::max<std::int64_t>(0, std::llround(top[i]->At(static_cast<double>(z))));
    };
    raw.push_back({zs[i], at(zs[i])});
    raw.push_back({zs[i + 1], at(zs[i + 1])});
  }
  raw.push_back({zs.back(), 0});
  for (ProfilePoint& p : raw) {
    p.z -= frame.offsetZ;
    p.r -= frame.offsetX;
  }
  profile.points = WithoutCollinear(raw);
  return profile;
}

std::optional<std::int64_t> RadiusAt(const PartProfile& profile, std::int64_t z) {
  const double r = RadiusAtD(profile.points, static_cast<double>(z));
  if (std::isnan(r)) return std::nullopt;
  return std::llround(r);
}

std::optional<std::int64_t> DiameterAt(const PartProfile& profile, std::int64_t z) {
  const auto r = RadiusAt(profile, z);
  if (!r) return std::nullopt;
  return 2 * *r;
}

std::vector<ProfileFace> Faces(const PartProfile& profile) {
  std::vector<ProfileFace> faces;
  const auto& pts = profile.points;
  for (std::size_t i = 0; i + 1 < pts.size();) {
    std::size_t j = i;
    while (j + 1 < pts.size() && pts[j + 1].z == pts[i].z) ++j;
    if (j > i) faces.push_back(ProfileFace{pts[i].z, pts[i].r, pts[j].r});
    i = std::max(j, i + 1);
  }
  // Two faces closer than the shortest step bound a sliver, not a shoulder.
  std::vector<ProfileFace> kept;
  for (std::size_t k = 0; k < faces.size(); ++k) {
    const bool sliver = (k > 0 && faces[k].z - faces[k - 1].z < kShortestStep) ||
                        (k + 1 < faces.size() && faces[k + 1].z - faces[k].z < kShortestStep);
    if (!sliver) kept.push_back(faces[k]);
  }
  return kept;
}

std::optional<std::int64_t> LengthBetweenFaces(const PartProfile& profile, std::int64_t zA,
                                               std::int64_t zB) {
  const std::vector<ProfileFace> faces = Faces(profile);
  if (faces.empty()) return std::nullopt;
  const auto nearest = [&](std::int64_t z) {
    std::int64_t best = faces.front().z;
    for (const ProfileFace& f : faces)
      if (std::llabs(f.z - z) < std::llabs(best - z)) best = f.z;
    return best;
  };
  return std::llabs(nearest(zA) - nearest(zB));
}

std::vector<ProfileStep> Steps(const PartProfile& profile) {
  std::vector<ProfileStep> steps;
  const auto& pts = profile.points;
  for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
    const ProfilePoint& a = pts[i];
    const ProfilePoint& b = pts[i + 1];
    if (a.z == b.z) continue;  // a face
    if (a.r == 0 && b.r == 0) continue;
    const bool cylinder = a.r == b.r;
    // Cones and arcs joined without a face make one step, as a drawing dimensions them.
    if (!cylinder && !steps.empty() && !steps.back().Cylinder() && steps.back().zTo == a.z &&
        steps.back().rTo == a.r) {
      steps.back().zTo = b.z;
      steps.back().rTo = b.r;
      continue;
    }
    steps.push_back(ProfileStep{a.z, b.z, a.r, b.r});
  }
  // The sweeps of a polygonal insert leave slivers a few length units wide between them; a
  // drawing has no such steps, so they are left out and what they split joined again.
  std::vector<ProfileStep> kept;
  for (const ProfileStep& s : steps) {
    if (s.zTo - s.zFrom < kShortestStep) continue;
    const bool alike = !kept.empty() && (kept.back().Cylinder() == s.Cylinder()) &&
                       (!s.Cylinder() || kept.back().rTo == s.rFrom);
    if (alike && s.zFrom - kept.back().zTo <= kShortestStep) {
      kept.back().zTo = s.zTo;
      kept.back().rTo = s.rTo;
      continue;
    }
    kept.push_back(s);
  }
  return kept;
}

ProfileDeviation CompareProfiles(const PartProfile& part, const PartProfile& reference,
                                 std::int64_t zFrom, std::int64_t zTo) {
  ProfileDeviation d;
  const OneSided left = FarthestOutside(part, reference, zFrom, zTo);
  const OneSided deep = FarthestOutside(reference, part, zFrom, zTo);
  d.leftOverMm = left.distance / 10000.0;
  d.leftOverAt = left.at;
  d.leftOverTo = left.to;
  d.tooDeepMm = deep.distance / 10000.0;
  d.tooDeepAt = deep.at;
  d.tooDeepTo = deep.to;
  return d;
}

}  // namespace soustruh
