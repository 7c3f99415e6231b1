#include <cstdio>

int main() {
  std::fputs("soustruh-cli: not ready yet\n", stderr);
  return 2;
}
