#include "view/MachineScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <optional>

#include "ViewTestKit.h"
#include "nc/FunctionGroups.h"
#include "view/StockDialog.h"
#include "workpiece/ShapeList.h"

namespace soustruh {
namespace {

using test::view::CaseRows;
using test::view::kMm;

// ----- Scenarios: tests/view/scenes/NAME.txt. Each "[title]" starts a scenario on a fresh
// test::view::SceneMachine, set up by the lines before the first title; "#" starts a comment line.
// A line "what [arguments] = expected" compares a readout with the expected text, which may go on
// in indented lines below "what ="; any other line is an action. The recording is cleared before
// every action.
//   Actions: tool -1|0|1|none (the test tool), at Z R [W] (mm), visit Z R [Z R...] (at each place
//   in turn, W 0, and a redraw there), spindle 3|4|5, quill 20|21|-1,
//   automat, fn4 (checked), clear (the alarms), raise ALARM..., error N (the interpreter's),
//   running, moving, stock none|plus POLYGON... (see NamedPolygons), jaws COUNT LENGTH R (their
//   number and length, and the stock radius they close on, mm), chuck (ChuckBuild), redraw,
//   no-canvas, clamp "D" "L" (OK in the stock dialog), map SCALE X Y, bounds none|flat|loaded,
//   resize OLDW OLDH W H, press left|middle|right X Y, move X Y, drag X Y (the middle button held),
//   wheel up|down X Y W H.
//   Readouts: alarms, status, running, moving, material Z R (within 0.05 mm), area (mm²), stock,
//   cut (the previous cut position), messages (since the last look), collides (a collision test of
//   the scenario's own, reporting through the host too), drawn (the brushes of the last action's
//   fills), drawn BRUSH (the pen and points of each fill with that brush), outside (the brushes of
//   fills reaching beyond the picture and a pixel), redraws (redraws and pictures presented since
//   the last look), chuck (each polygon's flag, pen, brush and points), chuck brushes, result,
//   texts, radius, view (scale and origin), zoomed.
class Scenario {
 public:
  Scenario() : loaded_(m_.sim.data().bounds) { Counted(); }

  void Line(const std::string& line) {
    const std::size_t equals = line.find(" =");
    std::istringstream in(line.substr(0, equals));
    std::string word;
    in >> word;
    if (equals == std::string::npos) {
      m_.canvas.Clear();
      Act(word, in);
    } else {
      EXPECT_EQ(Readout(word, in), line.substr(std::min(line.size(), equals + 3)));
    }
  }

 private:
  static std::string Hex(BgrColour colour) {
    std::ostringstream text;
    text << std::hex << std::uppercase << colour;
    return text.str();
  }

  static std::string Joined(const std::vector<std::string>& parts, const char* between) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : between) + part;
    return text.empty() ? "none" : text;
  }

  static std::string PointsText(const TPolygon& points) {
    std::ostringstream text;
    for (const auto& p : points) text << ' ' << p.X << ',' << p.Y;
    return text.str().substr(std::min<std::size_t>(1, text.str().size()));
  }

  std::string Counted() {
    const std::string text = std::to_string(m_.scene.redrawCount() - redraws_) + " " +
                             std::to_string(m_.canvas.presented() - presented_);
    redraws_ = m_.scene.redrawCount();
    presented_ = m_.canvas.presented();
    return text;
  }

  void Act(const std::string& verb, std::istream& in) {
    MachineState& s = m_.sim.state();
    MachineConfig& config = m_.sim.data().config;
    std::string word;
    double a = 0, b = 0, c = 0;
    std::int32_t x = 0, y = 0, w = 0, h = 0;
    const auto units = [](double mm) { return static_cast<std::int32_t>(std::lround(mm * kMm)); };
    if (verb == "tool") {
      in >> word;
      m_.sim.data().drawing[NASTROJ] =
          word == "none" ? TUtvar{} : test::view::TestTool(std::stoi(word));
    } else if (verb == "at") {
      in >> a >> b >> c;
      m_.PlaceCarriage(a, b, c);
    } else if (verb == "visit") {
      while (in >> a >> b) {
        m_.PlaceCarriage(a, b);
        m_.sim.SceneRedraw();
      }
    } else if (verb == "spindle" || verb == "quill") {
      in >> s.Active.M[verb == "spindle" ? kMSpindle : kMQuill];
    } else if (verb == "automat") {
      s.Mode = ControlMode::Automat;
    } else if (verb == "fn4") {
      s.SoftKeys[3] = true;
    } else if (verb == "clear") {
      s.Alarms.Clear();
    } else if (verb == "raise") {
      while (in >> word)
        for (int k = 0; k <= static_cast<int>(AlarmKind::InterpreterError); ++k)
          if (AlarmName(static_cast<AlarmKind>(k)) == word) s.Alarms.Add(static_cast<AlarmKind>(k));
    } else if (verb == "error") {
      in >> x;
      m_.sim.interpreter().setError(static_cast<NcError>(x));
    } else if (verb == "running") {
      s.ProgramRunning = true;
    } else if (verb == "moving") {
      s.MotionDone = false;
    } else if (verb == "stock") {
      in >> word;
      if (word == "none") m_.sim.stock().clear();
      auto added = test::view::NamedPolygons(in);
      for (const TPolygon& p : added[""]) m_.sim.stock().push_back(p);
    } else if (verb == "jaws") {
      in >> config.Poc_celisti >> a >> b;
      config.Celist_L3 = units(a);
      s.Active.StockRadius = units(b);
    } else if (verb == "chuck") {
      m_.sim.ChuckBuild();
    } else if (verb == "redraw") {
      m_.sim.SceneRedraw();
    } else if (verb == "no-canvas") {
      m_.scene.SetCanvas(nullptr);
    } else if (verb == "clamp") {
      std::string diameter, protrusion;
      in >> std::quoted(diameter) >> std::quoted(protrusion);
      result_ = B_PolotovarClick(m_.sim, diameter, protrusion);
    } else if (verb == "map") {
      in >> s.ViewScale >> s.ViewOriginX >> s.ViewOriginY;
    } else if (verb == "bounds") {
      in >> word;
      m_.sim.data().bounds = word == "none" ? DrawingBounds{} : loaded_;
      if (word == "flat") m_.sim.data().bounds.maxY = loaded_.minY;
    } else if (verb == "resize") {
      in >> x >> y >> w >> h;
      navigator_.FormResize(x, y, w, h);
    } else if (verb == "press") {
      in >> word >> x >> y;  // MouseButton runs Left, Middle, Right
      navigator_.I_StrojMouseDown(static_cast<MouseButton>(std::string("lmr").find(word[0])), x, y);
    } else if (verb == "move" || verb == "drag") {
      in >> x >> y;
      navigator_.I_StrojMouseMove(verb == "drag", x, y);
    } else if (verb == "wheel") {
      in >> word >> x >> y >> w >> h;
      zoomed_ = navigator_.MouseWheel(word == "up", x, y, w, h);
    } else {
      ADD_FAILURE() << "no action " << verb;
    }
  }

  std::string Readout(const std::string& what, std::istream& in) {
    const MachineState& s = m_.sim.state();
    const auto yes = [](bool value) { return std::string(value ? "yes" : "no"); };
    std::vector<std::string> parts;
    std::ostringstream text;
    text.precision(15);
    std::string first;  // argument
    in >> first;
    if (what == "alarms") {
      for (int k = 0; k <= static_cast<int>(AlarmKind::InterpreterError); ++k)
        if (s.Alarms.Has(static_cast<AlarmKind>(k)))
          parts.emplace_back(AlarmName(static_cast<AlarmKind>(k)));
      return Joined(parts, " ");
    }
    if (what == "status") return s.Status.text;
    if (what == "running") return yes(s.ProgramRunning);
    if (what == "moving") return yes(!s.MotionDone);
    if (what == "material") {
      double r = 0;
      in >> r;
      const auto z = static_cast<std::int64_t>(std::stod(first) * kMm);
      const auto v = static_cast<std::int64_t>(r * kMm);
      const TPolygon around = test::view::Rect(z - 500, v - 500, z + 500, v + 500);
      return yes(!ClipIntersection(m_.sim.stock(), around).polygons.empty());
    }
    if (what == "area")
      text << test::view::Area(m_.sim.stock()) / (static_cast<long double>(kMm) * kMm);
    if (what == "stock") {
      for (const TPolygon& p : m_.sim.stock()) parts.push_back(PointsText(p));
      return Joined(parts, " | ");
    }
    if (what == "cut") {
      text << m_.scene.removal().lastCutPosition().z << ' '
           << m_.scene.removal().lastCutPosition().radial;
    }
    if (what == "messages") {
      parts.swap(m_.host.messages);
      return Joined(parts, " | ");
    }
    if (what == "collides") {
      ToolOutlines tool;
      ExtractToolOutlines(m_.sim.data().drawing[NASTROJ], s.Active.X, s.Active.Z, tool);
      return yes(collisions_.CollisionTest({m_.sim.data().drawing, s.Active.X, s.Active.Z,
                                            s.Active.W, tool.holder, tool.insert, m_.sim.stock()}));
    }
    if (what == "drawn" || what == "outside") {
      for (const auto& call : m_.canvas.calls()) {
        const auto points = m_.canvas.Points(call);
        std::vector<ClipPoint> corners;
        for (const ScreenPoint p : points) corners.push_back({p.x, p.y});
        const bool beyond = std::any_of(points.begin(), points.end(), [&](ScreenPoint p) {
          return p.x < -1 || p.y < -1 || p.x > m_.canvas.Width() + 1 ||
                 p.y > m_.canvas.Height() + 1;
        });
        if (what == "outside" && !beyond) continue;
        if (first.empty()) parts.push_back(Hex(call.brush));
        if (first == Hex(call.brush)) parts.push_back(Hex(call.pen) + ": " + PointsText(corners));
      }
      return Joined(parts, first.empty() ? " " : " | ");
    }
    if (what == "redraws") return Counted();
    if (what == "chuck") {
      ForEachShapePolygon(m_.sim.data().drawing[SKLICIDLO], [&](const ShapePolygon& p) {
        std::vector<ClipPoint> points;
        for (const ShapeEntry& q : p.points) points.push_back({q.x, q.y});
        parts.push_back(first == "brushes" ? Hex(p.brush)
                                           : std::to_string(p.flag) + " " + Hex(p.pen) + " " +
                                                 Hex(p.brush) + ": " + PointsText(points));
      });
      return Joined(parts, first == "brushes" ? " " : "\n");
    }
    if (what == "result") {
      const char* const names[] = {"Busy",          "InvalidEntry", "TooLarge", "QuillNotRetracted",
                                   "ToolCollision", "Clamped"};
      return result_ ? names[static_cast<int>(*result_)] : "none";
    }
    if (what == "texts") {
      text << std::quoted(m_.sim.stockDiameterText) << ' '
           << std::quoted(m_.sim.stockProtrusionText);
    }
    if (what == "radius") text << s.Active.StockRadius;
    if (what == "view") text << s.ViewScale << ' ' << s.ViewOriginX << ' ' << s.ViewOriginY;
    if (what == "zoomed") return yes(zoomed_);
    if (text.str().empty()) ADD_FAILURE() << "no readout " << what;
    return text.str();
  }

  test::view::SceneMachine m_;
  ViewNavigator navigator_{m_.sim};
  OnceReporter collisionReports_{&m_.host};
  MaterialRemoval collisions_{collisionReports_};
  DrawingBounds loaded_;
  std::uint64_t redraws_ = 0;
  int presented_ = 0;
  std::optional<StockClampResult> result_;
  bool zoomed_ = false;
};

class Scenes : public ::testing::TestWithParam<std::string> {};

TEST_P(Scenes, FollowTheirScenarios) {
  const auto lines =
      test::ReadUtf8Lines(test::view::kViewTestData / "scenes" / (GetParam() + ".txt"));
  ASSERT_TRUE(lines);
  std::vector<std::string> entries;  // indented lines go on the expected text above them
  for (const std::string& line : *lines) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] != ' ') entries.push_back(line);
    if (line[0] == ' ')
      entries.back() += (entries.back().back() == '=' ? " " : "\n") + line.substr(2);
  }
  // The lines before the first title set up every scenario of the file.
  std::vector<std::string> preamble;
  std::optional<Scenario> scenario;
  std::string title;
  for (const std::string& entry : entries) {
    if (entry[0] == '[') {
      title = entry;
      scenario.emplace();
      for (const std::string& line : preamble) scenario->Line(line);
    } else if (!scenario) {
      preamble.push_back(entry);
    } else {
      SCOPED_TRACE(title + " " + entry);
      scenario->Line(entry);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(View, Scenes,
                         ::testing::Values("drawing", "cutting", "collisions", "stock", "sizing",
                                           "chuck"),
                         [](const auto& param) { return param.param; });

}  // namespace
}  // namespace soustruh
