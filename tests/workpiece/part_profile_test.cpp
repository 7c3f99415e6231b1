// The profile of a turned part from its section: read-outs of a stepped shaft, and the deviations
// of altered shafts from it.

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "workpiece/PartProfile.h"

namespace soustruh {
namespace {

constexpr std::int64_t kMm = 10000;

// A shaft as (z where a diameter starts, diameter) in mm, the last entry giving the free end's z,
// as a whole section (both halves) in model units with the workpiece zero at model z 125 mm.
StockSection Shaft(const std::vector<std::pair<double, double>>& steps) {
  TPolygon top, bottom;
  for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
    const auto r = static_cast<std::int64_t>(steps[i].second * kMm / 2);
    for (const double z : {steps[i].first, steps[i + 1].first}) {
      top.push_back(ClipPoint{static_cast<std::int64_t>((z + 125) * kMm), r});
      bottom.insert(bottom.begin(), ClipPoint{top.back().X, -r});
    }
  }
  top.insert(top.end(), bottom.begin(), bottom.end());
  return {top};
}

const WorkpieceFrame kG54{0, 125 * kMm};
const std::vector<std::pair<double, double>> kShaft = {
    {-60, 19}, {-18.5, 16}, {-8.5, 12}, {-0.5, 0}};

TEST(PartProfile, ReadsDiametersFacesAndSteps) {
  const PartProfile p = ProfileOf(Shaft(kShaft), kG54);
  const std::vector<std::pair<double, std::optional<double>>> diameters = {
      {-5, 12}, {-12, 16}, {-8.5, 16}, {-0.5, 12}, {-60, 19}, {0, std::nullopt}};
  for (const auto& [z, d] : diameters) {
    SCOPED_TRACE(z);
    const auto measured = DiameterAt(p, static_cast<std::int64_t>(z * kMm));
    const std::optional<std::int64_t> want =
        d ? std::optional<std::int64_t>(static_cast<std::int64_t>(*d * kMm)) : std::nullopt;
    EXPECT_EQ(measured, want);
  }
  std::vector<std::int64_t> faces;
  for (const ProfileFace& f : Faces(p)) faces.push_back(f.z);
  EXPECT_EQ(faces, (std::vector<std::int64_t>{-600000, -185000, -85000, -5000}));
  EXPECT_EQ(LengthBetweenFaces(p, -4000, -86000), 80000);
  const auto steps = Steps(p);
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[1].zFrom, -185000);
  EXPECT_EQ(steps[1].zTo, -85000);
  EXPECT_TRUE(steps[1].Cylinder());
  EXPECT_EQ(steps[1].rFrom, 80000);
}

TEST(PartProfile, DeviationsFromTheReference) {
  struct Case {
    const char* name;
    std::vector<std::pair<double, double>> part;
    double leftOver, tooDeep;
  };
  const std::vector<Case> cases = {
      {"identical", kShaft, 0, 0},
      {"pin 0.2 thicker", {{-60, 19}, {-18.5, 16}, {-8.5, 12.2}, {-0.5, 0}}, 0.1, 0},
      {"pin 0.1 thinner", {{-60, 19}, {-18.5, 16}, {-8.5, 11.9}, {-0.5, 0}}, 0, 0.05},
      {"shoulder 0.02 deeper", {{-60, 19}, {-18.5, 16}, {-8.52, 12}, {-0.5, 0}}, 0, 0.02},
      {"free end 0.05 long", {{-60, 19}, {-18.5, 16}, {-8.5, 12}, {-0.45, 0}}, 0.05, 0},
      {"step missing", {{-60, 19}, {-18.5, 16}, {-0.5, 0}}, 2, 0},
  };
  const PartProfile reference = ProfileOf(Shaft(kShaft), kG54);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PartProfile part = ProfileOf(Shaft(c.part), kG54);
    const ProfileDeviation d = CompareProfiles(part, reference, -700000, 10000);
    EXPECT_NEAR(d.leftOverMm, c.leftOver, 0.001);
    EXPECT_NEAR(d.tooDeepMm, c.tooDeep, 0.001);
  }
}

// The sweeps of the insert leave slivers a few units wide; they are no steps and no faces.
TEST(PartProfile, SliversAreNoStepsOrFaces) {
  StockSection section = Shaft(kShaft);
  section.push_back(
      TPolygon{{1200000, 50000}, {1200002, 50000}, {1200002, 60074}, {1200000, 60074}});
  const PartProfile p = ProfileOf(section, kG54);
  EXPECT_EQ(Steps(p).size(), 3u);
  EXPECT_EQ(Faces(p).size(), 4u);
}

}  // namespace
}  // namespace soustruh
