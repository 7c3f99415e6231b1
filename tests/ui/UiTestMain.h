#pragma once
// The GUI test runner: every test class registers itself by name; `soustruh_ui_tests NAME` runs
// one of them (ctest runs each as a test of its own), without a name all of them run.

#include <QObject>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace soustruh::ui::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<std::pair<const char*, TestFactory>>& TestRegistry();

template <typename T>
struct Register {
  explicit Register(const char* name) {
    TestRegistry().emplace_back(name, [] { return std::make_unique<T>(); });
  }
};

}  // namespace soustruh::ui::test

#define SOUSTRUH_UI_TEST(Class) \
  static const soustruh::ui::test::Register<Class> kRegister##Class(#Class)
