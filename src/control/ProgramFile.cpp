#include "control/ProgramFile.h"

#include "machine/TableFile.h"
#include "platform/FileAccess.h"
#include "platform/Host.h"
#include "platform/TextFile.h"

namespace soustruh {

std::optional<std::size_t> FirstLineOutsideWindows1250(const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (!FitsWindows1250(lines[i])) return i + 1;
  return std::nullopt;
}

std::string ProgramCharactersMessage(std::size_t line) {
  return "Program obsahuje znaky, které nelze uložit v kódování Windows-1250 (první na řádku " +
         std::to_string(line) + "); uloží se jako '?'.";
}

bool SaveProgram(const std::filesystem::path& path, const std::vector<std::string>& lines,
                 Host& host, bool finalLineEnd) {
  if (const auto line = FirstLineOutsideWindows1250(lines))
    host.ShowMessage(ProgramCharactersMessage(*line));
  const int error = WriteTextLines(path, lines, finalLineEnd);
  if (error == 0) return true;
  host.ShowMessage(WriteFailedMessage(path.filename().string(), SystemErrorText(error)));
  return false;
}

}  // namespace soustruh
