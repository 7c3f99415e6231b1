#pragma once
// Reports failures of the view (clipping that could not be done, a machine drawing that cannot be
// fitted) to the user through the host, each distinct text once for the life of the view, so a
// fault met at every redraw does not open a message box at every motion tick.

#include <string>
#include <string_view>
#include <vector>

#include "platform/Host.h"

namespace soustruh {

class OnceReporter {
 public:
  // Without a host the texts are only remembered.
  explicit OnceReporter(Host* host = nullptr) : host_(host) {}

  // Shows `text` unless it was shown before. True when it was shown now.
  bool Report(std::string_view text);

  // Every distinct text reported, in order.
  const std::vector<std::string>& reported() const { return reported_; }

 private:
  Host* host_;
  std::vector<std::string> reported_;
};

}  // namespace soustruh
