#include "fuzz/FuzzTargets.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "control/Simulator.h"
#include "control/VirtualHost.h"
#include "machine/CorrectionTable.h"
#include "machine/MachineConfigReader.h"
#include "machine/MachineDrawing.h"
#include "machine/ToolShape.h"
#include "machine/WorkOffsetTable.h"
#include "nc/Interpreter.h"
#include "platform/TextFile.h"
#include "view/MachineScene.h"
#include "view/ViewMapping.h"

namespace soustruh::fuzz {
namespace {

namespace fs = std::filesystem;

class SilentHost : public Host {
 public:
  void ShowMessage(std::string_view) override {}
};

std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

std::vector<std::string> Lines(const std::uint8_t* data, std::size_t size) {
  return DecodeText(Bytes(data, size)).lines;
}

void Check(bool invariant) {
  if (!invariant) std::abort();
}

// The bundled machine's limits, as the interpreter meets them in a run.
MachineConfig Limits() {
  MachineConfig config;
  config.Mist_v_zas = 8;
  config.MaxPosuv = 5000;
  config.MaxOtacky = 4000;
  return config;
}

}  // namespace

void ParseBlockTarget(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const MachineConfig config = Limits();
  NcInterpreter interpreter(config);
  NcBlock block;
  ResetNcBlock(block);
  const std::string_view line = Bytes(data + 1, size - 1);
  const bool execute = (data[0] & 1) != 0;
  const bool mdi = (data[0] & 2) != 0;
  interpreter.ParseBlock(StripComments(line), execute, mdi, block);
  interpreter.ParseBlock(line, execute, mdi, block);
  interpreter.setError(kErrNone);
  interpreter.LineHasBlockNumber(line, data[0]);
  Check(interpreter.error() == kErrNone);
}

void MachineFileTarget(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines = Lines(data, size);
  SilentHost host;
  MachineConfig config;
  ReadMachineConfigLines(lines, host, config);
  TStroj drawing;
  DrawingBounds bounds;
  std::int32_t tip = 0;
  if (!ReadMachineDrawing(lines, drawing, bounds, tip))
    for (const TUtvar& part : drawing) Check(part.size() <= 3 * kMaxSectionPoints);
}

void ToolFileTarget(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines = Lines(data, size);
  SilentHost host;
  for (int tool = 0; tool <= 9; ++tool) {
    const ToolShape shape = BuildToolShape(lines, tool, host);
    Check(shape.empty() || shape[0].y == -1 || shape[0].y == 0 || shape[0].y == 1);
  }
  ToolsWithoutDrawing(lines, 8);
}

void TablesTarget(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines = Lines(data, size);
  const MachineConfig config = Limits();
  NcInterpreter interpreter(config);
  CorrectionTable corrections;
  corrections.TakeLines(lines);
  for (int d = 0; d <= 100; ++d) corrections.Correction(d, interpreter);
  for (const std::string& row : lines) {
    const CorrectionFields fields = FieldsFromRow(row);
    RowFromFields(1, fields, interpreter);
    TipPicture(fields.L);
  }
  WorkOffsetTable offsets;
  offsets.ApplyLines(lines);
  for (const int code : kWorkOffsetCodes) {
    offsets.OffsetValue(code, OffsetAxis::X, interpreter);
    offsets.OffsetValue(code, OffsetAxis::Z, interpreter);
  }
  EncodeText(offsets.Lines());
}

void TextTarget(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = Bytes(data, size);
  const TextFileContent content = DecodeText(bytes);
  const std::string encoded = EncodeText(content.lines, content.finalLineEnd);
  // Every byte has a character in our Windows-1250 table and back.
  Check(ToWindows1250(FromWindows1250(bytes)) == std::string(bytes));
  if (content.encoding == TextEncoding::Windows1250)
    Check(DecodeText(encoded).lines == content.lines);
  Check(FitsWindows1250(bytes) == ToWindows1250(bytes).has_value());
  IsValidUtf8(bytes);
}

void RunTarget(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  // The bundled data, never written: tables are repaired in memory only.
  VirtualHost host;
  Simulator sim(host, fs::path(SOUSTRUH_SOURCE_DIR) / "data");
  MachineScene scene(sim, nullptr);
  ViewNavigator navigator(sim);
  host.Attach(&sim);
  sim.SetScene(&scene);
  if (sim.Start(TableRepair::InMemory) != StartupStatus::Loaded) return;
  navigator.FormResize(0, 0, 412, 686);
  const MachineState& s = sim.state();
  sim.B_ManualClick();
  sim.SetSoftKey(5, true);
  sim.B_StartClick();
  if (!host.RunUntil([&] { return !s.ProgramRunning; }, 60000) || !s.Alarms.Empty()) return;

  const std::uint8_t flags = data[0];
  sim.SetProgram(Lines(data + 1, size - 1));
  sim.B_AutomatClick();
  for (int key = 1; key <= 4; ++key) sim.SetSoftKey(key, (flags >> key) & 1);
  sim.SB_PosuvChange((flags & 1) ? 150 : 100);
  constexpr std::uint32_t kVirtualLimitMs = 20000;
  const std::uint32_t start = host.Now();
  sim.B_StartClick();
  while (static_cast<std::uint32_t>(host.Now() - start) < kVirtualLimitMs && s.Alarms.Empty() &&
         (s.ProgramRunning || !s.MotionDone)) {
    const bool held = s.ProgramRunning && s.FeedStopped && s.MotionDone;
    host.Advance(TimerInterval(HostTimer::Motion));
    if (held) sim.B_StartClick();
  }
}

Body TargetNamed(std::string_view name) {
  if (name == "parse_block") return ParseBlockTarget;
  if (name == "machine_file") return MachineFileTarget;
  if (name == "tool_file") return ToolFileTarget;
  if (name == "tables") return TablesTarget;
  if (name == "text") return TextTarget;
  if (name == "run") return RunTarget;
  return nullptr;
}

}  // namespace soustruh::fuzz
