#include "machine/StartupLoading.h"

#include "machine/MachineConfigReader.h"
#include "machine/ToolShape.h"
#include "platform/Host.h"
#include "platform/TextFile.h"

namespace soustruh {
namespace {

constexpr const char* kMachineFile = "GeoStroj.dat";
constexpr const char* kToolFile = "GeoNastr.dat";

void ClearDrawing(MachineData& data, const std::function<void()>& clearStock) {
  for (TUtvar& part : data.drawing) part.clear();
  if (clearStock) clearStock();
}

// The drawing of the current tool into the tool slot, and a word about the tools that have none.
void LoadToolDrawings(MachineData& data, int tool, Host& host) {
  const TextRead tools = ReadText(data.directory / kToolFile, kDataFileLimits);
  if (tools.raw.status == ReadStatus::Missing) {
    host.ShowMessage(std::string("Nenalezen soubor s grafikou nástrojů '") + kToolFile + "'.");
    return;
  }
  if (!tools.ok()) {
    host.ShowMessage(std::string("Soubor s grafikou nástrojů '") + kToolFile +
                     "' se nepodařilo přečíst (" + ReadFailureText(tools.raw, kDataFileLimits) +
                     ").");
    return;
  }
  data.drawing[NASTROJ] = BuildToolShape(tools.content.lines, tool, host);
  const auto missing = ToolsWithoutDrawing(tools.content.lines, data.config.Mist_v_zas);
  if (!missing.empty()) host.ShowMessage(ToolsWithoutDrawingMessage(missing));
}

}  // namespace

void ReadMachineParameters(MachineData& data, Host& host) {
  ReadMachineConfig(data.directory, host, data.config);
}

StartupStatus LoadDataFiles(MachineData& data, int tool, Host& host,
                            const std::function<void()>& buildStock,
                            const std::function<void()>& clearStock, TableRepair repair) {
  ClearDrawing(data, clearStock);

  const TextRead machine = ReadText(data.directory / kMachineFile, kDataFileLimits);
  if (!machine.ok()) {
    host.ShowMessage(machine.raw.status == ReadStatus::Missing
                         ? std::string("Nenalezen soubor s grafikou stroje '") + kMachineFile +
                               "', aplikace bude ukončena."
                         : std::string("Soubor s grafikou stroje '") + kMachineFile +
                               "' se nepodařilo přečíst (" +
                               ReadFailureText(machine.raw, kDataFileLimits) +
                               "), aplikace bude ukončena.");
    return StartupStatus::MachineMissing;
  }

  if (const auto error =
          ReadMachineDrawing(machine.content.lines, data.drawing, data.bounds, data.quillTipX)) {
    // The learner or teacher who edited the drawing needs to see which line is wrong; an empty
    // machine with no explanation helps nobody.
    host.ShowMessage(error->message);
    ClearDrawing(data, clearStock);
    return StartupStatus::DrawingFaulty;
  }

  if (buildStock) buildStock();
  LoadToolDrawings(data, tool, host);
  data.corrections.LoadAtStartup(data.directory, host, repair);
  data.offsets.LoadAtStartup(data.directory, host, repair);
  return StartupStatus::Loaded;
}

}  // namespace soustruh
