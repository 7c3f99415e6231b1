#pragma once
// A small hand-drawn machine for the view tests: one rectangle per part, each part's fill a colour
// of its own so a recording shows which part was drawn. Lengths below in millimetres.
//   frame      −200..500 × −200..300 (behind everything)
//   Z slide    −20..20 × 200..220, moves with Z
//   X slide    −20..20 × 60..80, moves with Z and X/2
//   tool       holder only, −1..1 × 0..40 (tests put their own tool in)
//   tool head  −15..15 × 40..60
//   quill      300..400 × −10..10 at W = 0, tip at Z 300
//   tailstock  350..450 × −40..40
//   covers     −100..−50 × 100..150
//   spindle    −60..0 × −60..60
// Chuck: body Z 0..50, diameter 100; jaws from Z 40 to the front faces at Z 80, 30 mm above the
// stock; three jaws. Stock limits 40 mm diameter, 150 mm protrusion.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "machine/TextFile.h"
#include "support/TempDir.h"
#include "view/MachineScene.h"
#include "view/RecordingCanvas.h"

namespace soustruh::test {

inline constexpr std::int32_t kMm = 10000;

// Fill colours of the parts, as the recording sees them.
inline constexpr BgrColour kFrameFill = 0x000011;
inline constexpr BgrColour kSlideZFill = 0x000012;
inline constexpr BgrColour kSlideXFill = 0x000013;
inline constexpr BgrColour kToolFill = 0x000014;
inline constexpr BgrColour kHeadFill = 0x000015;
inline constexpr BgrColour kQuillFill = 0x000016;
inline constexpr BgrColour kTailstockFill = 0x000017;
inline constexpr BgrColour kCoversFill = 0x000018;
inline constexpr BgrColour kSpindleFill = 0x000019;
inline constexpr BgrColour kChuckFill = 0xB2AAA5;
inline constexpr BgrColour kChuckShade = 0x766E69;
inline constexpr BgrColour kStockFill = 0x5ABEE1;
inline constexpr BgrColour kStockPen = 0x1E5A78;

inline std::vector<std::string> SceneTestMachineLines() {
  return {
      "[PARAM_STROJE]",
      "MinX = 0",
      "MaxX = 400",
      "RefX = 400",
      "MinZ = -100",
      "MaxZ = 400",
      "RefZ = 400",
      "MinW = 0",
      "MaxW = 100",
      "Mist_v_zas = 8",
      "Rychloposuv = 5000",
      "ManPosuv = 1000",
      "RefPosuv = 2000",
      "RychPinoly = 2000",
      "MaxPosuv = 3000",
      "MinOtacky = 50",
      "MaxOtacky = 4000",
      "Sklicidlo_D = 100",
      "Sklicidlo_L = 50",
      "Sklicidlo_Z = 0",
      "Celist_L1 = 20",
      "Celist_H1 = 8",
      "Celist_L2 = 30",
      "Celist_H2 = 16",
      "Celist_L3 = 40",
      "Celist_H3 = 30",
      "Celist_tl = 20",
      "Cel_L_sklic = 80",
      "Poc_celisti = 3",
      "Sklic_Cara = 3C3C3C",
      "Sklic_Vypln = B2AAA5",
      "Sklic_Stin = 766E69",
      "Max_L_mat = 150",
      "Max_D_mat = 40",
      "Mat_Cara = 1E5A78",
      "Mat_Vypln = 5ABEE1",
      "[RAM]",
      "000001,000011,-200,-200,500,-200,500,300,-200,300",
      "[OSA_Z]",
      "000002,000012,-20,200,20,200,20,220,-20,220",
      "[OSA_X]",
      "000003,000013,-20,60,20,60,20,80,-20,80",
      "[NASTROJ]",
      "000004,000014,-1,0,1,0,1,40,-1,40",
      "[NASTR_HLAVA]",
      "000005,000015,-15,40,15,40,15,60,-15,60",
      "[PINOLA]",
      "000006,000016,300,-10,400,-10,400,10,300,10",
      "[KONIK]",
      "000007,000017,350,-40,450,-40,450,40,350,40",
      "[KRYTY]",
      "000008,000018,-100,100,-50,100,-50,150,-100,150",
      "[VRETENO]",
      "000009,000019,-60,-60,0,-60,0,60,-60,60",
  };
}

// A rectangle as a shape-list polygon: header (4, flag), colours, corners (length units).
inline void AppendRect(TUtvar& shapes, std::int32_t flag, BgrColour fill, std::int32_t left,
                       std::int32_t bottom, std::int32_t right, std::int32_t top) {
  shapes.insert(
      shapes.end(),
      {{4, flag}, {0x000004, fill}, {left, bottom}, {right, bottom}, {right, top}, {left, top}});
}

// A tool whose insert is −1..1 × 0..2 mm and whose holder is −1..1 × 2..40 mm, in the layout of
// `flag` (−1 insert first, +1 insert second, 0 holder only).
inline TUtvar TestTool(std::int32_t flag) {
  TUtvar tool;
  const auto insert = [&](std::int32_t f) { AppendRect(tool, f, 0x0000A0, -kMm, 0, kMm, 2 * kMm); };
  const auto holder = [&](std::int32_t f) {
    AppendRect(tool, f, kToolFill, -kMm, 2 * kMm, kMm, 40 * kMm);
  };
  if (flag == -1) {
    insert(-1);
    holder(0);
  } else if (flag == 1) {
    holder(1);
    insert(0);
  } else {
    holder(flag);
  }
  return tool;
}

// The hand-drawn machine started in a temporary directory, with a scene drawing into a
// recording of 800 × 600 pixels.
class SceneTest : public ::testing::Test {
 protected:
  SceneTest() : sim(host, dir.path()), canvas(800, 600), scene(sim, &canvas) {
    EXPECT_EQ(WriteLines(dir.path() / "GeoStroj.dat", SceneTestMachineLines()), "");
    host.Attach(&sim);
    sim.SetScene(&scene);
  }

  void StartMachine() {
    ASSERT_EQ(sim.Start(), StartupStatus::Loaded);
    host.messages.clear();
    MachineState& s = sim.state();
    // 1 pixel per millimetre, model (0, 0) at pixel (300, 300).
    s.ViewScale = 1;
    s.ViewOriginX = 300;
    s.ViewOriginY = 300;
  }

  // Puts the carriage at Z and radius (length units) without moving through the path between.
  void PlaceCarriage(std::int32_t z, std::int32_t radial) {
    sim.state().Active.Z = z;
    sim.state().Active.X = 2 * radial;
  }

  void UseTool(std::int32_t flag) { sim.data().drawing[NASTROJ] = TestTool(flag); }

  TempDir dir;
  VirtualHost host;
  Simulator sim;
  RecordingCanvas canvas;
  MachineScene scene;
};

}  // namespace soustruh::test
