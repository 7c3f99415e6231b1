#pragma once
// Moving the machine by hand in MANUAL: the four jog buttons and the arrow keys move the tool
// carrier for as long as they are held, two buttons move the tailstock quill, one indexes the
// turret. The handlers are the simulator's (SB_XplusMouseDown, SB_TlPohybyMouseUp, JogKeyDown,
// SB_VymTClick, ...); every one acts only in MANUAL while no sequence runs.
//
// A jog aims 1000 mm away on its axis (in X, a diameter, 2000 mm of diameter), beyond any travel,
// so the motion lasts until release or until the travel limit stops it with "Konec rozsahu
// pojezdu". Two arrow keys of different axes move along the diagonal.

#include <cstdint>
#include <optional>
#include <string_view>

namespace soustruh {

// The jog targets lie this far away on their axis (length units; X a diameter).
inline constexpr std::int32_t kJogDistanceZ = 10000000;
inline constexpr std::int32_t kJogDistanceX = 20000000;

// The six buttons that move while held: SB_Xplus, SB_Xminus, SB_Zplus, SB_Zminus (the carrier),
// SB_Wvpred, SB_Wvzad (the quill forward toward the chuck, and back).
enum class MotionButton { Xplus, Xminus, Zplus, Zminus, Wvpred, Wvzad };

// The button called `name` ("SB_Xplus", ...), or nullopt.
std::optional<MotionButton> MotionButtonFromName(std::string_view name);

// The pause of the turret at each step, before and after the new tool shows (ms), and the click.
inline constexpr std::uint32_t kTurretPauseMs = 300;
inline constexpr int kTurretToneHz = 300;
inline constexpr int kTurretToneMs = 5;

}  // namespace soustruh
