#pragma once
// A host for tests: it keeps every message the core shows, in order, instead of waiting for a
// click.

#include <string>
#include <string_view>
#include <vector>

#include "platform/Host.h"

namespace soustruh::test {

class RecordingHost : public Host {
 public:
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }

  std::vector<std::string> messages;
};

}  // namespace soustruh::test
