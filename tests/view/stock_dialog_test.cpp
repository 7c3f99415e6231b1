#include "view/StockDialog.h"

#include <gtest/gtest.h>

#include "SceneTestMachine.h"
#include "nc/FunctionGroups.h"
#include "view/ShapeList.h"

namespace soustruh {
namespace {

using test::kMm;

class StockDialog : public test::SceneTest {
 protected:
  void SetUp() override {
    StartMachine();
    MachineState& s = sim.state();
    s.Active.W = sim.config().MinW;
    s.Active.M[kMQuill] = kQuillRetracted;
    PlaceCarriage(300 * kMm, 150 * kMm);  // the tool far from any stock
    initialStock = sim.stock();
  }

  MaterialRemoval& removal() { return scene.removal(); }

  StockSection initialStock;
};

const std::string kTooLarge =
    "Polotovar je větší, než je možné upnout do stroje - max. průměr je 40.0, max. délka 150.0 mm.";

TEST_F(StockDialog, EntriesAndLimits) {
  struct Case {
    const char* name;
    const char* diameter;
    const char* protrusion;
    StockClampResult result;
    std::string message;  // empty: none
  };
  const Case cases[] = {
      {"both limits exactly", "40", "150", StockClampResult::Clamped, ""},
      {"protrusion 0", "19.000", "0", StockClampResult::Clamped, ""},
      {"diameter over", "40.0001", "10", StockClampResult::TooLarge, kTooLarge},
      {"protrusion over", "10", "150.0001", StockClampResult::TooLarge, kTooLarge},
      {"beyond any length", "1e300", "45", StockClampResult::TooLarge, kTooLarge},
      {"empty diameter", "", "45", StockClampResult::InvalidEntry,
       std::string(kStockDiameterEntryMessage)},
      {"diameter with a comma", "19,5", "45", StockClampResult::InvalidEntry,
       std::string(kStockDiameterEntryMessage)},
      {"negative diameter", "-5", "45", StockClampResult::InvalidEntry,
       std::string(kStockDiameterEntryMessage)},
      {"protrusion not a number", "19", "abc", StockClampResult::InvalidEntry,
       std::string(kStockProtrusionEntryMessage)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.stock() = initialStock;
    sim.state().Active.StockRadius = 95000;
    host.messages.clear();
    EXPECT_EQ(B_PolotovarClick(sim, c.diameter, c.protrusion), c.result);
    EXPECT_EQ(sim.stockDiameterText, c.diameter);
    EXPECT_EQ(sim.stockProtrusionText, c.protrusion);
    if (c.message.empty()) {
      EXPECT_TRUE(host.messages.empty());
    } else {
      EXPECT_EQ(host.messages, (std::vector<std::string>{c.message}));
    }
    if (c.result != StockClampResult::Clamped) {
      EXPECT_EQ(sim.stock(), initialStock);
      EXPECT_EQ(sim.state().Active.StockRadius, 95000);
    }
  }
}

TEST_F(StockDialog, ClampingReplacesTheStockAndClosesTheJaws) {
  const std::uint64_t redraws = scene.redrawCount();
  const AlarmSet alarms = sim.state().Alarms;
  ASSERT_EQ(B_PolotovarClick(sim, "40", "0"), StockClampResult::Clamped);
  // No protrusion: only the 15 mm inside the jaws (front faces at Z 80 mm).
  EXPECT_EQ(
      sim.stock(),
      (StockSection{{{800000, -200000}, {800000, 200000}, {650000, 200000}, {650000, -200000}}}));
  EXPECT_EQ(sim.state().Active.StockRadius, 200000);
  // The jaw (second polygon of the stationary chuck) stands 30 mm above the new radius.
  const auto jaw = ShapePolygonPoints(sim.data().drawing[SKLICIDLO], 1);
  ASSERT_FALSE(jaw.empty());
  EXPECT_EQ(jaw[0].y, 200000 + 300000);
  EXPECT_EQ(scene.redrawCount(), redraws + 1);
  EXPECT_EQ(sim.state().Alarms, alarms);
  // Only the redraw's own pass moved the previous cut position: to where the carriage stands.
  EXPECT_EQ(removal().lastCutPosition(), (CutPosition{300 * kMm, 150 * kMm}));
}

TEST_F(StockDialog, QuillMustBeRetracted) {
  for (const int quill : {kQuillForward, kQuillUndefined}) {
    SCOPED_TRACE(quill);
    sim.state().Active.M[kMQuill] = quill;
    host.messages.clear();
    // Refused even for a shorter stock than the one clamped.
    EXPECT_EQ(B_PolotovarClick(sim, "19", "10"), StockClampResult::QuillNotRetracted);
    EXPECT_EQ(host.messages, (std::vector<std::string>{std::string(StockQuillMessage)}));
    EXPECT_EQ(sim.stock(), initialStock);
  }
}

TEST_F(StockDialog, ToolInTheWayOfTheNewStock) {
  struct Case {
    const char* name;
    std::int32_t flag;
    double z, r;  // carriage, mm
    const char* protrusion;
    StockClampResult result;
  };
  const Case cases[] = {
      // The new stock reaches Z 180 mm, radius 9.5 mm.
      {"holder-only tool in the way", 0, 140, 5, "100", StockClampResult::ToolCollision},
      {"holder-only tool clear of a shorter stock", 0, 140, 5, "45", StockClampResult::Clamped},
      {"insert in the way", -1, 140, 8, "100", StockClampResult::ToolCollision},
      {"insert second in the way", 1, 140, 8, "100", StockClampResult::ToolCollision},
      {"only the holder crosses: the insert is what is tested", -1, 150, -20, "100",
       StockClampResult::Clamped},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.stock() = initialStock;
    UseTool(c.flag);
    PlaceCarriage(static_cast<std::int32_t>(c.z * kMm), static_cast<std::int32_t>(c.r * kMm));
    host.messages.clear();
    EXPECT_EQ(B_PolotovarClick(sim, "19", c.protrusion), c.result);
    if (c.result == StockClampResult::ToolCollision) {
      EXPECT_EQ(host.messages, (std::vector<std::string>{std::string(StockToolCollisionMessage)}));
      EXPECT_EQ(sim.stock(), initialStock);
    }
  }
}

TEST_F(StockDialog, NothingWhileBusy) {
  struct Case {
    const char* name;
    bool running, motionDone;
  };
  const Case cases[] = {{"program running", true, true}, {"axis moving", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.state().ProgramRunning = c.running;
    sim.state().MotionDone = c.motionDone;
    EXPECT_FALSE(StockDialogAvailable(sim));
    EXPECT_EQ(B_PolotovarClick(sim, "30", "20"), StockClampResult::Busy);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(sim.stock(), initialStock);
    EXPECT_EQ(sim.stockDiameterText, "19.000");
  }
  sim.state().ProgramRunning = false;
  sim.state().MotionDone = true;
  EXPECT_TRUE(StockDialogAvailable(sim));
}

}  // namespace
}  // namespace soustruh
