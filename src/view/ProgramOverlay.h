#pragma once
// The path overlay of the machine view: the programmed contour of the current program and the
// path the centre of the tool's nose takes, so a learner sees what G41/G42 do (and what their
// absence does to a cone or a radius). The program is traced by a headless twin of the live
// simulator (Simulator::StartAsTwinOf) in virtual time, without cutting, so the live machine is
// never disturbed. The window traces again when the program or the tables change and while the
// overlay switch is on hands MachineScene::SetOverlay a call of DrawProgramOverlay with the view's
// current mapping (MappingOf(state)), so the overlay is part of every picture of the scene.
//
// Points are in the model plane of the view (Z horizontal, radius vertical, length units), so
// they lie over the stock where the tool will cut:
//   - the programmed point P of a block (workpiece coordinates, X a diameter) lies at
//     (P.Z + work offset Z, P.X / 2 + work offset X);
//   - the nose centre lies at carriage + tool correction − nose offset (the correction's tip
//     point moved to the centre of the nose radius by its tip position L).
// An arc of the programmed contour is drawn as chords of at most 1/64 of a turn.

#include <cstdint>
#include <string>
#include <vector>

#include "control/AutomatRun.h"
#include "platform/Canvas.h"
#include "view/ViewMapping.h"
#include "workpiece/Clipping.h"

namespace soustruh {

class Simulator;

// One motion of the program.
struct OverlayElement {
  bool rapid = false;                 // G00
  std::vector<ClipPoint> programmed;  // the block's programmed contour, start to end
  std::vector<ClipPoint> nose;        // the nose centre's path, start to end
};

struct ProgramOverlay {
  std::vector<OverlayElement> elements;  // in the order the program moves
  RunOutcome outcome = RunOutcome::Finished;
  std::string message;     // the twin's status line when the trace stopped early
  int line = 0;            // the program line it stopped at (1-based); 0 when it finished
  bool truncated = false;  // more than kMaxOverlayElements motions: the rest is not traced
};

inline constexpr std::size_t kMaxOverlayElements = 20000;

// Traces `program` from where `live` stands, with `live`'s data (tables as edited, unsaved ones
// included) and the soft keys of `options`; stops like a run (error, alarm, time limit of
// `options`, in virtual time). Motions of the quill are not traced.
ProgramOverlay TraceProgram(const Simulator& live, std::vector<std::string> program,
                            const AutomatOptions& options = {});

// Colours of the overlay (blue-green-red).
inline constexpr BgrColour kOverlayContourColour = 0xC00000;  // programmed contour: blue
inline constexpr BgrColour kOverlayNoseColour = 0x0000E0;     // nose path of feed moves: red
inline constexpr BgrColour kOverlayRapidColour = 0x909090;    // nose path of rapid moves: grey

// Draws the overlay with `mapping` over what the canvas holds: the nose path (rapid moves grey,
// feed moves red), then the programmed contour of the feed moves in blue on top. Does not
// present the picture.
void DrawProgramOverlay(Canvas& canvas, const ViewMapping& mapping, const ProgramOverlay& overlay);

}  // namespace soustruh
