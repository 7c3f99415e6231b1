#pragma once
// The CLI's messages: what the window shows in message boxes becomes lines on standard error, so
// a teacher's script sees them without anything waiting for a click.

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/Host.h"

namespace soustruh::cli {

// Prints a message box text as lines on standard error ("\r\n" breaks become "\n").
inline void PrintMessage(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    line.push_back(text[i]);
  }
  std::fprintf(stderr, "%s\n", line.c_str());
}

class StderrHost : public Host {
 public:
  void ShowMessage(std::string_view text) override { PrintMessage(text); }
};

}  // namespace soustruh::cli
