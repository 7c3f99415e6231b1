// The program file dialog's listing in a temporary folder: what is listed, in which order, and
// what acting on an entry does; and the dialog driven by its keys.

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "UiTestMain.h"
#include "ui/ProgramFileDialog.h"

namespace soustruh::ui::test {
namespace {

QStringList Names(const std::vector<TPolozka>& entries) {
  QStringList names;
  for (const TPolozka& e : entries) names << e.name;
  return names;
}

int IndexOf(const std::vector<TPolozka>& entries, const QString& name) {
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].name == name) return static_cast<int>(i);
  return -1;
}

}  // namespace

class ProgramFolderTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString root_;
  std::vector<TPolozka> places_;

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    root_ = NormaliseFolder(dir_.path());
    const QDir d(root_);
    for (const char* folder : {"beta", "Alfa", ".skryta", "Alfa/vnitrni"}) d.mkpath(folder);
    for (const char* file : {"PROG.NC", "x.anc", "a.b.nc1", "prog.txt", ".skryty.nc", "zeta.nc",
                             "nc", "Alfa/dil.nc"}) {
      QFile f(root_ + file);
      QVERIFY(f.open(QIODevice::WriteOnly));
    }
    places_ = {{root_ + "beta/", EntryKind::RemovableDrive}, {"/", EntryKind::FixedDrive}};
  }

  void groupsSortingMaskAndHiddenNames() {
    QCOMPARE(Names(ListFolder(root_, places_)),
             QStringList({"..", "Alfa", "beta", "a.b.nc1", "PROG.NC", "x.anc", "zeta.nc", "/",
                          root_ + "beta/"}));
    // The root folder: places first, no "..".
    const std::vector<TPolozka> atRoot = ListFolder("/", places_);
    QCOMPARE(atRoot[0].name, QString("/"));
    QCOMPARE(atRoot[1].name, root_ + "beta/");
    QCOMPARE(IndexOf(atRoot, ".."), -1);
    for (const char* name : {"PROG.NC", "x.anc", "a.b.nc1", "B.Nc"})
      QVERIFY2(MatchesProgramMask(name), name);
    for (const char* name : {"prog.txt", "nc", "nc.txt", "n.c"})
      QVERIFY2(!MatchesProgramMask(name), name);
  }

  void actingOnEntries() {
    ProgramFolderBrowser browser(places_);
    browser.Fill(root_ + "Alfa");
    QCOMPARE(browser.folder(), root_ + "Alfa/");
    // ".." selects the folder that was left.
    auto outcome = browser.Activate(IndexOf(browser.entries(), ".."));
    QCOMPARE(browser.folder(), root_);
    QCOMPARE(browser.entries()[static_cast<std::size_t>(outcome.select)].name, QString("Alfa"));
    // A folder is entered, a place is gone to, a missing place refused.
    outcome = browser.Activate(IndexOf(browser.entries(), "Alfa"));
    QCOMPARE(browser.folder(), root_ + "Alfa/");
    QCOMPARE(outcome.select, 0);
    browser.Activate(IndexOf(browser.entries(), root_ + "beta/"));
    QCOMPARE(browser.folder(), root_ + "beta/");
    ProgramFolderBrowser missing({{"/nenalezeno/", EntryKind::RemovableDrive}});
    missing.Fill(root_);
    outcome = missing.Activate(IndexOf(missing.entries(), "/nenalezeno/"));
    QCOMPARE(outcome.refusal, QString("Disk /nenalezeno/ není přístupný"));
    QCOMPARE(missing.folder(), root_);
    // A file is chosen and stays selected.
    const int file = IndexOf(missing.entries(), "x.anc");
    outcome = missing.Activate(file);
    QVERIFY(outcome.chosen);
    QCOMPARE(outcome.select, file);
    QCOMPARE(missing.chosenFile(), root_ + "x.anc");
    // Save names.
    for (const char* bad : {"", "a?b", "a*b", "x/y", "q\"", "c:d"})
      QVERIFY2(!missing.AcceptSaveName(bad), bad);
    QVERIFY(missing.AcceptSaveName("novy.nc"));
    QCOMPARE(missing.chosenFile(), root_ + "novy.nc");
  }

  void dialogOpensWithEnterAndKeepsTheFolder() {
    TForm2 dialog(places_);
    dialog.SetFolder(root_ + "Alfa");
    QTimer::singleShot(0, &dialog, [&dialog] {
      QListWidget* list = dialog.list();
      list->setCurrentRow(list->row(list->findItems("dil.nc", Qt::MatchExactly)[0]));
      QTest::keyClick(list, Qt::Key_Return);
    });
    QCOMPARE(dialog.Open(), root_ + "Alfa/dil.nc");
    QVERIFY(!dialog.saveMode());
    // Saving onto an existing file puts its name into the name field and stays open.
    QTimer::singleShot(0, &dialog, [&dialog] {
      QListWidget* list = dialog.list();
      list->setCurrentRow(list->row(list->findItems("dil.nc", Qt::MatchExactly)[0]));
      QTest::keyClick(list, Qt::Key_Space);
      QVERIFY(dialog.isVisible());
      QCOMPARE(dialog.findChild<QLineEdit*>("E_JmPrg")->text(), QString("dil.nc"));
      QTest::keyClick(list, Qt::Key_Escape);
    });
    QCOMPARE(dialog.SaveAs(""), QString());
    QCOMPARE(dialog.folder(), root_ + "Alfa/");
  }
};
SOUSTRUH_UI_TEST(ProgramFolderTest);

}  // namespace soustruh::ui::test

#include "program_folder_test.moc"
