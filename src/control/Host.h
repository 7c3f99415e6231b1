#pragma once
// The core's only way to reach the platform. The window implements it with Qt, the CLI and the
// tests with plain C++. Every call happens on the one thread that drives the simulator.

#include <string_view>

namespace soustruh {

class Host {
 public:
  virtual ~Host() = default;

  // A modal message box with an OK button. `text` is UTF-8; "\r\n" breaks a line. Returns when
  // the user has acknowledged it (headless hosts return at once).
  virtual void ShowMessage(std::string_view text) = 0;
};

}  // namespace soustruh
