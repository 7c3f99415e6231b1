#include "app/cli/InputFile.h"

#include <unistd.h>

#include "platform/FileAccess.h"
#include "platform/TextFile.h"

namespace soustruh::cli {

std::optional<std::vector<std::string>> ReadProgram(const std::string& name, std::string& error) {
  const bool standardInput = name == "-";
  TextRead read =
      standardInput ? DecodeRead(ReadDescriptorBytes(STDIN_FILENO, kProgramLimits), kProgramLimits)
                    : ReadText(name, kProgramLimits);
  if (read.ok()) return std::move(read.content.lines);
  error = (standardInput ? std::string("standard input") : name) + ": " +
          ReadFailureTextEnglish(read.raw, kProgramLimits);
  return std::nullopt;
}

}  // namespace soustruh::cli
