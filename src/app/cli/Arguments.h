#pragma once
// Reading a command's arguments: options with and without values and one FILE operand. A usage
// error always names the option or operand at fault.

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Numbers.h"

namespace soustruh::cli {

class Arguments {
 public:
  explicit Arguments(const std::vector<std::string>& args) : args_(args) {}

  // Steps to the next argument; false at the end or once an error is set.
  bool Next() { return error_.empty() && ++index_ < args_.size(); }
  const std::string& arg() const { return args_[index_]; }
  bool Is(std::string_view option) const { return arg() == option; }
  // "--help" or "-h".
  bool IsHelp() const { return Is("--help") || Is("-h"); }

  // The value that follows the present option; an error naming the option when there is none or
  // it is empty.
  std::optional<std::string> Value() {
    const std::string option = arg();
    if (index_ + 1 >= args_.size()) return Fail("option " + option + " needs a value");
    const std::string& value = args_[++index_];
    if (value.empty()) return Fail("option " + option + " has an empty value");
    return value;
  }

  // Steps to the next argument when it reads as a number (for options with a list of values).
  std::optional<long double> NumberFollows() {
    if (!error_.empty() || index_ + 1 >= args_.size()) return std::nullopt;
    const auto number = ParseFloat(args_[index_ + 1]);
    if (number) ++index_;
    return number;
  }

  // Takes the present argument as the one FILE operand (an error for an unknown option or a
  // second operand). "-" is a FILE (standard input).
  void Operand(std::string& file, bool& have) {
    if (arg().size() > 1 && arg()[0] == '-') {
      Fail("unknown option '" + arg() + "'");
    } else if (have) {
      Fail("more than one FILE ('" + file + "', '" + arg() + "')");
    } else if (arg().empty()) {
      Fail("FILE is empty");
    } else {
      file = arg();
      have = true;
    }
  }

  std::nullopt_t Fail(std::string text) {
    if (error_.empty()) error_ = std::move(text);
    return std::nullopt;
  }
  const std::string& error() const { return error_; }

 private:
  const std::vector<std::string>& args_;
  std::size_t index_ = static_cast<std::size_t>(-1);
  std::string error_;
};

// How every command ends its argument reading: a usage error goes to standard error with the
// usage (exit status 2), --help prints the usage on standard output (0); nullopt: go on.
inline std::optional<int> UsageEnd(const char* command, const char* usage, const std::string& error,
                                   bool help) {
  if (!error.empty()) {
    std::fprintf(stderr, "soustruh-cli %s: %s\n", command, error.c_str());
    std::fputs(usage, stderr);
    return 2;
  }
  if (help) {
    std::fputs(usage, stdout);
    return 0;
  }
  return std::nullopt;
}

}  // namespace soustruh::cli
