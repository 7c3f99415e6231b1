#pragma once
// Where the tailstock quill meets the stock, and the quill state that follows from its position.
//
// Units: length units (0.0001 mm). The quill tip stands at Z = quillTipX − W: W grows as the quill
// advances toward the chuck. quillTipX is the tip's Z at W = 0 (from the machine drawing).

#include <cstdint>
#include <optional>

#include "workpiece/StockSection.h"

namespace soustruh {

enum class QuillLamp { Green, Red };

struct QuillContactResult {
  bool contact = false;                 // the quill was stopped on the stock face
  std::int32_t w = 0;                   // W after the check (the tip on the face on contact)
  std::optional<std::int32_t> targetW;  // the new Target W, set on contact only
  int quillState = -1;                  // 20 retracted (W = MinW), 21 clamping, −1 undefined
  QuillLamp lamp = QuillLamp::Red;      // green for 20 and 21, red for −1
};

// The Z of the stock's free face: the largest Z at which an edge of any polygon of the section
// crosses the spindle axis (radius 0), counting every edge (the closing one too) whose own Z range
// contains its crossing; edges along the axis do not cross it. 0 when no edge crosses at a
// positive Z.
long double StockFaceZ(const StockSection& stock);

// Stops the quill at the stock face if its tip has entered the stock (face Z > 0 and
// quillTipX − W < face Z): W := quillTipX − round(face Z), ties to even, and Target W := W. Then
// the state is 20 at MinW, 21 on contact, −1 anywhere else. Pure: the caller stores W, Target W
// and the state and repaints the lamp.
QuillContactResult QuillContactCheck(const StockSection& stock, std::int32_t quillTipX,
                                     std::int32_t w, std::int32_t minW);

}  // namespace soustruh
