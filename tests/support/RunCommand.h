#pragma once
// Runs a command line through the shell and captures its standard output and exit status, for
// tests that drive the CLI as a teacher's script would.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace soustruh::test {

struct CommandResult {
  int status = -1;
  std::string out;
};

inline CommandResult RunCommand(const std::string& command) {
  CommandResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer;
  std::size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    result.out.append(buffer.data(), n);
  const int raw = pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

inline std::string Quoted(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace soustruh::test
