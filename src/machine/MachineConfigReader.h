#pragma once
// Reads the machine parameters, section [PARAM_STROJE] of GeoStroj.dat, into MachineConfig.
//
// Values: lengths are decimal millimetres ("-12.5", "1e2"; "." is the only decimal separator),
// stored ×10000 rounded half to even as length units (0.0001 mm); integer keys (speeds, counts)
// are whole decimal numbers with one optional sign ("12.0", "1e1" and "+-8" are not whole
// numbers, nor is a value beyond 32 bits); colours are read by ParseColour (ConfigFile.h), an
// empty one as 0 (black).
//
// Faults are reported to the user through Host::ShowMessage, at most one message per reading:
// - a key that is missing or unreadable (a colour key only when missing), or Poc_celisti
//   other than 3 or 4: the field keeps 0 (Poc_celisti keeps the value read), every other key is
//   still read, and at the end MachineFaultyFileMessage is shown;
// - a value outside its bounds (a length beyond ±10000 mm, Mist_v_zas outside 1 to 99, a feed or
//   speed outside 0 to 1000000): the same, and the message names the key and its bounds in a line
//   of its own, so that every sum the simulator forms from the values stays in range;
// - limits in the wrong order (MinX not below MaxX, likewise Z and W) or a reference point
//   outside its axis' limits: the values are kept, and the message names the keys;
// - a length beyond the 32-bit range (±214748.3647 mm): reading stops at that key, the keys from
//   it on keep 0, and only the range message is shown; it already says that the keys after it
//   were not read, so the faulty-file message would merely repeat it.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "machine/MachineConfig.h"
#include "platform/Host.h"

namespace soustruh {

inline constexpr std::string_view MachineFileName = "GeoStroj.dat";
inline constexpr std::string_view MachineParameterSection = "[PARAM_STROJE]";
inline constexpr std::string_view MachineFaultyFileMessage =
    "Chybný formát souboru sestavení stroje 'GeoStroj.dat', program nemusí pracovat správně!";

// The range message for a length `value` of `key`.
std::string MachineRangeErrorMessage(std::string_view key, std::string_view value);

enum class MachineConfigStatus {
  Complete,    // every key read and valid
  Faulty,      // some key missing or unreadable, or Poc_celisti not 3 or 4
  OutOfRange,  // a length beyond 32 bits stopped the reading
};

// Fills `config` from lines already loaded. `config` is reset to all zeros first, so the fields
// not read are 0 whatever they held before.
MachineConfigStatus ReadMachineConfigLines(const std::vector<std::string>& lines, Host& host,
                                           MachineConfig& config);

// Reads `directory` / GeoStroj.dat. Returns false, with no message and `config` unchanged, when
// the file does not exist or cannot be read: the start-up loading reports that and ends the
// program.
bool ReadMachineConfig(const std::filesystem::path& directory, Host& host, MachineConfig& config);

}  // namespace soustruh
