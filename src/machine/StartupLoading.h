#pragma once
// Loading the data files when the simulator starts, in a fixed order: the machine drawing, the
// start-up stock (through a hook, since the stock belongs to the view), the drawing of the
// current tool, the correction table and the work offsets. Every message goes through the host
// and names the bare file name only.

#include <functional>

#include "machine/MachineData.h"
#include "machine/TableFile.h"

namespace soustruh {

class Host;

enum class StartupStatus {
  Loaded,          // everything read; missing or malformed tables were rebuilt
  MachineMissing,  // GeoStroj.dat is missing or cannot be read: fatal, the program must end
  DrawingFaulty,   // a drawing line is faulty: the drawing is empty, the tables are not loaded
};

// Reads the [PARAM_STROJE] section of data.directory/GeoStroj.dat into data.config (silent when
// the file is missing; the loading below reports that).
void ReadMachineParameters(MachineData& data, Host& host);

// The data-file loading. `tool` is the tool whose drawing goes into the tool slot.
// `buildStock` is called once the machine drawing is read, to build the start-up stock and draw
// the scene; `clearStock` empties the stock and the remaining tool path (at the start, and again
// when a faulty drawing line ends the loading).
//
// Every file is read within the data file limits (FileAccess.h); a file that exists but cannot
// be read is reported with the reason and treated as the missing file is, except that a table
// that cannot be read is never overwritten.
//
// A missing GeoStroj.dat shows "Nenalezen soubor s grafikou stroje '%s', aplikace bude
// ukončena." and loads nothing; one that cannot be read says why and ends the program too. A
// faulty drawing line shows its format error, empties the drawing and skips the rest, so the
// correction list stays empty (lookups then give zeros) and the work offsets keep their texts;
// nothing is written. A missing GeoNastr.dat is reported and the tool slot keeps the drawing
// file's [NASTROJ]; when it is read, the tools of the turret that have no drawing in it are named
// (ToolsWithoutDrawingMessage), since they would cut nothing. The two tables are checked and
// repaired as `repair` allows (TableFile.h).
StartupStatus LoadDataFiles(MachineData& data, int tool, Host& host,
                            const std::function<void()>& buildStock = {},
                            const std::function<void()>& clearStock = {},
                            TableRepair repair = TableRepair::OnDisk);

}  // namespace soustruh
