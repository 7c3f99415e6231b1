#include "platform/OnceReporter.h"

#include <algorithm>

namespace soustruh {

bool OnceReporter::Report(std::string_view text) {
  if (std::find(reported_.begin(), reported_.end(), text) != reported_.end()) return false;
  reported_.emplace_back(text);
  if (host_) host_->ShowMessage(text);
  return true;
}

}  // namespace soustruh
