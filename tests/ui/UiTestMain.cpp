#include "UiTestMain.h"

#include <QApplication>
#include <QLocale>
#include <QTest>
#include <clocale>
#include <cstring>

namespace soustruh::ui::test {

std::vector<std::pair<const char*, TestFactory>>& TestRegistry() {
  static std::vector<std::pair<const char*, TestFactory>> registry;
  return registry;
}

}  // namespace soustruh::ui::test

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  const char* only = argc > 1 ? argv[1] : nullptr;
  int failed = 0;
  bool ran = false;
  for (const auto& [name, make] : soustruh::ui::test::TestRegistry()) {
    if (only && std::strcmp(only, name) != 0) continue;
    ran = true;
    std::unique_ptr<QObject> test = make();
    char* args[] = {argv[0]};
    failed += QTest::qExec(test.get(), 1, args);
  }
  return ran ? failed : 2;
}
