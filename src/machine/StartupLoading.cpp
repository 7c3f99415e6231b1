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

}  // namespace

void ReadMachineParameters(MachineData& data, Host& host) {
  ReadMachineConfig(data.directory, host, data.config);
}

StartupStatus LoadDataFiles(MachineData& data, int tool, Host& host,
                            const std::function<void()>& buildStock,
                            const std::function<void()>& clearStock) {
  ClearDrawing(data, clearStock);

  const auto machineLines = ReadLines(data.directory / kMachineFile);
  if (!machineLines) {
    host.ShowMessage(std::string("Nenalezen soubor s grafikou stroje '") + kMachineFile +
                     "', aplikace bude ukončena.");
    return StartupStatus::MachineMissing;
  }

  if (const auto error =
          ReadMachineDrawing(*machineLines, data.drawing, data.bounds, data.quillTipX)) {
    // The learner or teacher who edited the drawing needs to see which line is wrong; an empty
    // machine with no explanation helps nobody.
    host.ShowMessage(error->message);
    ClearDrawing(data, clearStock);
    return StartupStatus::DrawingFaulty;
  }

  if (buildStock) buildStock();

  if (!LoadToolDrawing(data.directory, tool, host, data.drawing))
    host.ShowMessage(std::string("Nenalezen soubor s grafikou nástrojů '") + kToolFile + "'.");

  data.corrections.LoadAtStartup(data.directory, host);
  data.offsets.LoadAtStartup(data.directory, host);
  return StartupStatus::Loaded;
}

}  // namespace soustruh
