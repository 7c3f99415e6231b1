#pragma once
// The CLI's host: message boxes become lines on standard error, so a teacher's script sees them
// without anything waiting for a click.

#include <cstdio>
#include <string>
#include <string_view>

#include "control/Host.h"

namespace soustruh::cli {

class StderrHost : public Host {
 public:
  void ShowMessage(std::string_view text) override {
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
      line.push_back(text[i]);
    }
    std::fprintf(stderr, "%s\n", line.c_str());
    ++messages_;
  }
  int messages() const { return messages_; }

 private:
  int messages_ = 0;
};

}  // namespace soustruh::cli
