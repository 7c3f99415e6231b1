// The simulation speed: a faster clock with the tick cut into 1x steps turns the same part in the
// same machining time, in a fraction of the wall time and with fewer pictures.

#include <gtest/gtest.h>

#include "platform/SimulationSpeed.h"
#include "platform/TextFile.h"
#include "support/SimulatorFixture.h"
#include "view/HeadlessMachine.h"
#include "workpiece/PartProfile.h"

namespace soustruh {
namespace {

TEST(ScaledClock, ContinuesWithoutAJumpWhenTheSpeedChanges) {
  ScaledClock clock;
  EXPECT_EQ(clock.Now(1000), 1000u);
  clock.SetSpeed(10, 1000);
  EXPECT_EQ(clock.Now(1000), 1000u);
  EXPECT_EQ(clock.Now(1050), 1500u);
  clock.SetSpeed(1, 1100);
  EXPECT_EQ(clock.Now(1200), 2100u);
  clock.SetSpeed(50, 0x100000000ull);  // the machine clock wraps as Host::Now does
  EXPECT_EQ(clock.Now(0x100000000ull + 2), 1000u);
}

struct SpeedRun {
  std::uint32_t machiningMs = 0;
  std::uint64_t wallMs = 0;
  PartProfile part;
  int pictures = 0;
};

// Counts the pictures; draws nothing.
class PictureCounter : public Canvas {
 public:
  std::int32_t Width() const override { return kHeadlessViewWidth; }
  std::int32_t Height() const override { return kHeadlessViewHeight; }
  void SetPen(BgrColour) override {}
  void SetBrush(BgrColour) override {}
  void FillRect(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
  void FillPolygon(std::span<const ScreenPoint>) override {}
  void Present() override { ++pictures; }
  int pictures = 0;
};

SpeedRun RunAt(int speed) {
  test::TempDir dir;
  for (const char* name : {"GeoStroj.dat", "GeoNastr.dat", "korekce.txt", "nulbody.txt"})
    std::filesystem::copy_file(test::kBundledData / name, dir.path() / name);
  HeadlessMachine machine(dir.path());
  PictureCounter canvas;
  machine.scene().SetCanvas(&canvas);
  EXPECT_TRUE(machine.Start());
  machine.host().SetSpeed(speed);
  machine.simulator().SetMaxTickStep(speed > 1 ? TimerInterval(HostTimer::Motion) : 0);
  const auto program = ReadLines(test::kBundledData / "examples" / "01_osazeny_hridel.nc");
  const std::uint64_t start = machine.host().wallTime();
  EXPECT_EQ(machine.Run(*program, {}), RunOutcome::Finished);
  return SpeedRun{machine.simulator().state().MachiningTime, machine.host().wallTime() - start,
                  ProfileOf(machine.simulator().stock(), {}), canvas.pictures};
}

TEST(SimulationSpeed, TenTimesFasterTurnsTheSamePartInTheSameMachiningTime) {
  const SpeedRun normal = RunAt(1);
  const SpeedRun fast = RunAt(10);
  EXPECT_EQ(fast.machiningMs, normal.machiningMs);
  EXPECT_NEAR(static_cast<double>(fast.wallMs), static_cast<double>(normal.wallMs) / 10,
              static_cast<double>(normal.wallMs) / 100);
  EXPECT_EQ(fast.part.points, normal.part.points);
  // The steps of a tick cut; only the tick draws.
  EXPECT_LT(fast.pictures, normal.pictures / 2);
}

}  // namespace
}  // namespace soustruh
