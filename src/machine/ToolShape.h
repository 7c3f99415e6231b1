#pragma once
// Tool drawings: the holder and cutting insert of each turret tool, built from GeoNastr.dat into
// the tool slot (NASTROJ) of the machine drawing whenever the current tool changes.
//
// GeoNastr.dat is sectioned like GeoStroj.dat (ConfigFile.h). A tool section "[T07]" (the tool
// number padded with "0" to at least two digits: [T00], [T07], [T123]) has the keys
//   Drzak      x1,y1,x2,y2,...  holder outline (mm) relative to the clamping point
//   Cara, Vypln                 holder outline and fill colours
//   Upevneni   x,y              clamping point, added to every holder point and the insert centre
//   Desticka   name             insert section "[name]"; empty for a tool without an insert
//   Poloha     L, P, OL or OP   insert rotation sense and drawing order
//   Nastaveni  degrees          setting angle of the insert
//   StredDest  x,y              insert centre relative to the clamping point
// and an insert section the keys
//   Obvod      x1,y1,...        insert outline (mm) around the insert centre (0, 0)
//   Cara, Vypln                 insert colours
//   Uhel       degrees          the insert's corner angle.
// The insert is turned about its centre by ((Nastaveni − 90) + Uhel / 2) degrees,
// counter-clockwise in the drawing for P and OL, clockwise for L and OP, then moved to the centre.
// List fields are cut with NextListToken, so a missing field reads as 0.
//
// Drawing coordinates are length units (0.0001 mm): x along the spindle axis (machine Z), y the
// radial distance (positive on the tool side), relative to the tool reference point, which the
// scene places at (machine Z, machine X div 2), X being a diameter.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "machine/MachineDrawing.h"
#include "platform/Host.h"

namespace soustruh {

inline constexpr std::string_view ToolFileName = "GeoNastr.dat";

// A tool drawing: at most two polygons in TUtvar layout. The header flag of the first polygon
// tells the layout:
//    1  holder, then insert (Poloha L or P; cutting needs M04)
//   −1  insert, then holder (Poloha OL or OP; cutting needs M03)
//    0  holder alone: no insert, or an insert section that is missing, empty or faulty
// The second polygon's flag is 0. An empty shape draws nothing.
using ToolShape = TUtvar;

// "[T" + the number padded with "0" to at least two digits + "]".
std::string ToolSectionHeader(int tool);

// Builds the drawing of `tool` from the lines of GeoNastr.dat.
//
// No tool section, or a Drzak value without a comma: an empty shape, no message.
// A fault of the holder part shows one message through `host` and gives an empty shape (the tool
// is not drawn): a Drzak value with an odd number of fields ("Chybný formát souboru
// nástrojů\r\n" + the Drzak value); a Poloha other than L, P, OL, OP (exactly, case-sensitive);
// a field of Drzak, Upevneni or StredDest, or Nastaveni, that is not a number or lies beyond the
// 32-bit range of length units, and a placed point beyond that range ("Chybný formát souboru
// nástrojů\r\n[Tnn] key = value").
// An insert section that is missing, or whose Obvod has no comma, means no insert: holder alone,
// no message. A faulty insert (Obvod with an odd number of fields or a field that is not a number
// or beyond 32 bits, Uhel not a number) also leaves the holder alone, and is reported with the
// same kind of message, so that a mistake in the file does not go unnoticed; a holder fault,
// found later, takes its place, so a build shows at most one message.
ToolShape BuildToolShape(const std::vector<std::string>& lines, int tool, Host& host);

// Reads directory/GeoNastr.dat afresh (within the data file limits) and puts the drawing of
// `tool` into drawing[NASTROJ] (replacing it, also by an empty shape). Returns false and leaves
// the slot as it was when the file does not exist or cannot be read; the caller decides whether
// to report that.
bool LoadToolDrawing(const std::filesystem::path& directory, int tool, Host& host, TStroj& drawing);

// The tools 1 to `places` whose drawing is empty in the lines of GeoNastr.dat (no section, a
// holder without points, or a holder fault): they would cut nothing. No message is shown.
std::vector<int> ToolsWithoutDrawing(const std::vector<std::string>& lines, int places);

// "Soubor s grafikou nástrojů 'GeoNastr.dat' nemá grafiku nástrojů 2, 5; tyto nástroje
// neobrábějí.": the start-up's note of such tools.
std::string ToolsWithoutDrawingMessage(const std::vector<int>& tools);

}  // namespace soustruh
