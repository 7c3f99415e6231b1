#pragma once
// Shared by the view tests: case tables kept as text, polygons and areas in the model plane, a
// small tool, and the small hand-drawn machine of scene_machine.dat. A namespace of their own keeps
// these inline helpers apart from those of the other test directories.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "platform/TextFile.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "view/MachineScene.h"
#include "view/RecordingCanvas.h"
#include "view/ViewMapping.h"

namespace soustruh::test::view {

inline constexpr std::int32_t kMm = 10000;
inline const std::filesystem::path kViewTestData =
    std::filesystem::path(SOUSTRUH_SOURCE_DIR) / "tests" / "view";

// The rows of section "[`section`]" of tests/view/`file`, each with its fields ready to read; lines
// that are empty or start with "#" are skipped, and a "#" within a row starts the comment that
// names the case.
struct CaseRow {
  std::string text;
  std::istringstream fields;
};

inline std::vector<CaseRow> CaseRows(const std::string& file, const std::string& section) {
  std::vector<CaseRow> rows;
  bool inSection = false;
  for (const std::string& line :
       test::ReadUtf8Lines(kViewTestData / file).value_or(std::vector<std::string>{})) {
    if (!line.empty() && line[0] == '[') inSection = line == "[" + section + "]";
    if (inSection && !line.empty() && line[0] != '#' && line[0] != '[')
      rows.push_back({line, std::istringstream(line.substr(0, line.find('#')))});
  }
  EXPECT_FALSE(rows.empty()) << file << " [" << section << "]";
  return rows;
}

inline TPolygon Rect(std::int64_t left, std::int64_t bottom, std::int64_t right, std::int64_t top) {
  return {{left, bottom}, {right, bottom}, {right, top}, {left, top}};
}

// Polygons written in a row, each under the last name before it: "R l b r t" a rectangle
// (anticlockwise from its left bottom corner), "P x y x y ... ." any polygon.
inline std::map<std::string, TPolygons> NamedPolygons(std::istream& in) {
  std::map<std::string, TPolygons> named;
  TPolygons* into = &named[""];
  for (std::string word; in >> word;) {
    if (word == "R") {
      std::int64_t l = 0, b = 0, r = 0, t = 0;
      in >> l >> b >> r >> t;
      into->push_back(Rect(l, b, r, t));
    } else if (word == "P") {
      TPolygon& polygon = into->emplace_back();
      for (std::int64_t y = 0; in >> word && word != ".";) {
        in >> y;
        polygon.push_back({std::stoll(word), y});
      }
    } else {
      into = &named[word];
    }
  }
  return named;
}

// The one polygon under `name`, or none.
inline TPolygon Single(const std::map<std::string, TPolygons>& named, const std::string& name) {
  const auto it = named.find(name);
  return it == named.end() || it->second.empty() ? TPolygon{} : it->second.front();
}

// Net enclosed area (square length units): outlines and holes come out of the clipping engine with
// opposite orientations.
inline long double Area(const TPolygons& polygons) {
  long double twice = 0;
  for (const TPolygon& p : polygons)
    for (std::size_t i = 0; i < p.size(); ++i) {
      const ClipPoint& a = p[i];
      const ClipPoint& b = p[(i + 1) % p.size()];
      twice += static_cast<long double>(a.X) * static_cast<long double>(b.Y) -
               static_cast<long double>(b.X) * static_cast<long double>(a.Y);
    }
  return std::fabs(twice) / 2;
}

// A tool whose insert is −1..1 × 0..2 mm (fill 0000A0) and whose holder is −1..1 × 2..40 mm (fill
// 000014), in the layout of `flag`: −1 insert first, +1 insert second, else holder only.
inline TUtvar TestTool(std::int32_t flag) {
  const auto rect = [](std::int32_t f, BgrColour fill, std::int32_t bottom, std::int32_t top) {
    return TUtvar{{4, f}, {4, fill}, {-kMm, bottom}, {kMm, bottom}, {kMm, top}, {-kMm, top}};
  };
  const TUtvar insert = rect(flag == -1 ? -1 : 0, 0x0000A0, 0, 2 * kMm);
  TUtvar tool = rect(flag == -1 ? 0 : flag, 0x000014, 2 * kMm, 40 * kMm);
  if (flag == -1 || flag == 1)
    tool.insert(flag == -1 ? tool.begin() : tool.end(), insert.begin(), insert.end());
  return tool;
}

// The machine of scene_machine.dat started in a temporary directory, its start-up messages
// forgotten, drawing into an 800 × 600 recording at 1 pixel per millimetre with model (0, 0) at
// pixel (300, 300).
struct SceneMachine {
  SceneMachine() : sim(host, dir.path()), canvas(800, 600), scene(sim, &canvas) {
    std::filesystem::copy_file(kViewTestData / "scene_machine.dat", dir.path() / "GeoStroj.dat");
    host.Attach(&sim);
    sim.SetScene(&scene);
    EXPECT_EQ(sim.Start(), StartupStatus::Loaded);
    host.messages.clear();
    StoreMapping(sim.state(), {1, 300, 300});
  }

  // Puts the carriage at Z and radius and the quill at W (mm), without moving through the path.
  void PlaceCarriage(double zMm, double rMm, double wMm = 0) {
    sim.state().Active.Z = static_cast<std::int32_t>(std::lround(zMm * kMm));
    sim.state().Active.X = 2 * static_cast<std::int32_t>(std::lround(rMm * kMm));
    sim.state().Active.W = static_cast<std::int32_t>(std::lround(wMm * kMm));
  }

  TempDir dir;
  VirtualHost host;
  Simulator sim;
  RecordingCanvas canvas;
  MachineScene scene;
};

}  // namespace soustruh::test::view
