#pragma once
// The entry controls of the panel: the MDI command line, the five fields of a tool correction and
// the fifteen work offset fields. The table says what each accepts, so that typed text is held
// to it the same way whether it comes from the window or from a panel script.
//
// Names are the controls' own: "E_PrikazE", "E_KorX" .. "E_KorPopis", "E_G54x", "E_G54z",
// "E_G54popis" and likewise for 55, 57, 58, 59.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace soustruh {

// What a field accepts: a decimal number, a whole number, or any text.
enum class EntryKind { Float, Integer, Text };

struct EntryField {
  std::string_view name;
  EntryKind kind = EntryKind::Text;
  std::size_t maxLength = 0;  // characters a user may type; 0 = no limit
  bool minus = true;          // a leading "-" is accepted
};

// Every entry field, the command line first, then the correction fields, then the work offset
// fields in the order G54 x, z, popis, G55 x, ... G59 popis.
std::span<const EntryField> AllEntryFields();

// The field called `name`, or nullptr for any other control.
const EntryField* FindEntryField(std::string_view name);

// Whether `name` is one of the fifteen work offset fields.
bool IsOffsetField(std::string_view name);
// The code (54, 55, 57, 58, 59) of an offset field name; 0 for other names.
int OffsetFieldCode(std::string_view name);

// The controls in which the arrow keys keep their meaning (the key map leaves them alone): the
// entry fields, the program editor "M_Program" and the correction list "LB_Korekce".
bool IsEntryControl(std::string_view name);

// The text a numeric field keeps of `text`: characters outside its kind dropped, a "-" only as
// the first character (and only where minus is accepted), the first "," or "." turned into "."
// and any later one dropped. Text fields keep everything.
std::string FilterEntryText(const EntryField& field, std::string_view text);

// What typing `text` into an emptied field leaves: filtered, then cut to the field's maximum
// length (in characters).
std::string TypedEntryText(const EntryField& field, std::string_view text);

// The text a field holds after it loses the focus: an empty decimal field becomes "0.0", an
// empty whole-number field "0"; anything else stays.
std::string LeftEntryText(const EntryField& field, std::string text);

}  // namespace soustruh
