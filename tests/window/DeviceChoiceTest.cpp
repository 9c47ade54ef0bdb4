// Choosing devices in the real window: real right-clicks and widgets, a real settings file in a
// temporary XDG folder, pseudo terminals or the simulator as devices.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include "BoxWatcher.h"
#include "QtRig.h"
#include "Ser2net.h"
#include "launcher/SimProcess.h"
#include "platform/DeviceIdentity.h"
#include "window/MainWindow.h"

namespace {

// One start of the panel as the program makes it without arguments, the saved devices over the
// usual ones, here missing (a laptop without on-board ports). `listed`: the system's ports.
struct Start {
  explicit Start(std::vector<PortChoice> listed = {})
      : link(settings.Read({QStringLiteral("/nonexistent/ttyS0"), QStringLiteral("/nonexistent/ttyS1")})) {
    window.OfferDeviceChoice(link, settings, [listed] { return listed; });
  }
  bool Run() {  // start-up, then the window shown as the program shows it
    window.Load();
    window.show();
    return !window.Failed() && QTest::qWaitForWindowExposed(&window);
  }
  void PowerOn() { QTest::mouseClick(window.Control(QStringLiteral("Command17")), Qt::LeftButton); }

  DeviceSettings settings;
  LinkByDevice link;
  MainWindow window{link};
};

BoxWatcher::Step Click(const QString& caption) {
  return [caption](QWidget* box) {
    for (QAbstractButton* button : box->findChildren<QAbstractButton*>()) {
      if (button->text() == caption) return QTest::mouseClick(button, Qt::LeftButton);
    }
    ADD_FAILURE() << "no button " << caption.toStdString();
    qobject_cast<QDialog*>(box)->reject();
  };
}

// Enter in a box: its default button.
void PressEnter(QWidget* box) { QTest::keyClick(box, Qt::Key_Return); }

// In the chooser: a name it must refuse, then `device` typed (or, empty, the first listed port), OK.
BoxWatcher::Step Choose(const QString& device) {
  return [device](QWidget* chooser) {
    auto* field = chooser->findChild<QLineEdit*>(QStringLiteral("Device"));
    QPushButton* ok = chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    field->clear();
    QTest::keyClicks(field, QStringLiteral("socket://[::1]"));
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(chooser->findChild<QLabel*>(QStringLiteral("Problem"))->text().contains(QLatin1String("names no port")));
    field->clear();
    QTest::keyClicks(field, device);
    auto* list = chooser->findChild<QListWidget*>(QStringLiteral("Ports"));
    if (device.isEmpty()) QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    if (IsPseudoTerminal(field->text())) {  // used, but the chooser says why it is not kept
      EXPECT_TRUE(chooser->findChild<QLabel*>(QStringLiteral("Problem"))->text().contains(QLatin1String("not kept")));
    }
    QTest::mouseClick(ok, Qt::LeftButton);
  };
}

// A right-click on `control` as the platform delivers it, through the window, which makes the
// context-menu event; then its menu's `entry` and the chooser played by `choose`.
bool ChooseThroughMenu(Start& panel, const char* control, int entry, const BoxWatcher::Step& choose, QStringList& texts) {
  BoxWatcher boxes({[entry](QWidget* menu) {
                      const QRect at = qobject_cast<QMenu*>(menu)->actionGeometry(menu->actions().at(entry));
                      QTest::mouseClick(menu, Qt::LeftButton, {}, at.center());
                    },
                    choose});
  QWidget* widget = panel.window.Control(QString::fromLatin1(control));
  QTest::mouseClick(panel.window.windowHandle(), Qt::RightButton, {}, widget->mapTo(&panel.window, widget->rect().center()));
  const bool done = boxes.Done();
  texts = boxes.texts;
  return done;
}

class DeviceChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override { qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit()); }
  void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }
  // `device` behind a network serial server: a device that is kept, where a pseudo terminal,
  // by whatever name, is not.
  QString Served(const QString& device) {
    servers.push_back(std::make_unique<Ser2net>(device, Ser2net::Kind::Raw));
    return servers.back()->Url();
  }
  QString Served(const Pty& pty) { return Served(QString::fromStdString(pty.SlavePath())); }
  QTemporaryDir config;
  std::vector<std::unique_ptr<Ser2net>> servers;
};

// Started from the menu where COM1's usual device is missing, the operator meets the failure box,
// names a device that is not there either and is told so, then names the simulator: the panel
// carries on there, and the next start goes straight to it.
TEST_F(DeviceChoiceTest, FromTheFailureBoxToTheSimulatorAndStraightThereAtTheNextStart) {
  SimProcess sim({});
  const QString gone = config.path() + QStringLiteral("/ttyGONE");
  const QString choose = QStringLiteral("Choose a device...");
  const auto powerOnArrives = [&sim](int times) {
    return WaitUntil([&] { return sim.Log().count(QStringLiteral("rx \"C00\\r\"")) == times; }, 5000);
  };
  {
    // Through a server of its own: the simulator's pseudo terminal would not be kept.
    const QString simLink = Served(sim.Path());
    // Enter at the first box is the way to the chooser, not the end of the panel.
    BoxWatcher boxes({PressEnter, Choose(gone), Click(choose), Choose(simLink)});
    Start first;
    ASSERT_TRUE(first.Run());
    ASSERT_EQ(boxes.texts.size(), 2);
    EXPECT_TRUE(boxes.texts[0].startsWith(QLatin1String("COM1 (/nonexistent/ttyS0) could not be opened")));
    EXPECT_TRUE(boxes.texts[1].startsWith(QStringLiteral("COM1 (%1) could not be opened").arg(gone)));
    first.PowerOn();
    EXPECT_TRUE(powerOnArrives(1));
  }
  BoxWatcher none;
  Start next;
  ASSERT_TRUE(next.Run());
  EXPECT_EQ(none.texts, QStringList());
  next.PowerOn();
  EXPECT_TRUE(powerOnArrives(2));
}

// Every way to the chooser: a device for the selected port (COM1) is opened at once, one for COM2
// only changes what COM2 stands for. Either is saved for its own port alone; a pseudo terminal,
// picked from the list here, is used but never kept.
TEST_F(DeviceChoiceTest, TheOptionsAndComOpenTheChooserAndTheChoiceIsSavedForItsPort) {
  const struct {
    const char* control;
    int port;
    int entry;    // of the context menu
    bool listed;  // picked from the chooser's list (the terminal itself) rather than typed (a link to it)
  } table[] = {{"Option1", 1, 0, false}, {"Option2", 2, 0, false}, {"Command33", 1, 0, true}, {"Command33", 2, 1, false}};
  for (const auto& row : table) {
    SCOPED_TRACE(std::string(row.control) + " COM" + std::to_string(row.port));
    Pty before, chosen;
    QFile::remove(DeviceSettings().File());
    const QString beforeLink = Served(before);
    const QString chosenLink = Served(chosen);
    const QString chosenName = row.listed ? QString::fromStdString(chosen.SlavePath()) : chosenLink;
    DeviceSettings().Save(1, beforeLink);
    Start panel({{chosen.SlavePath(), "a USB adapter"}});
    ASSERT_TRUE(panel.Run());
    // COM shows the options, which then lie over COM: COM's own menu is asked for without them.
    if (row.control[0] == 'O') QTest::mouseClick(panel.window.Control(QStringLiteral("Command33")), Qt::LeftButton);
    QStringList texts;
    ASSERT_TRUE(ChooseThroughMenu(panel, row.control, row.entry, Choose(row.listed ? QString() : chosenName), texts));
    EXPECT_EQ(texts, QStringList());

    panel.PowerOn();
    EXPECT_EQ((row.port == 1 ? chosen : before).Read(4), "C00\r");
    EXPECT_TRUE(panel.window.Control(QStringLiteral("Option%1").arg(row.port))->toolTip().startsWith(chosenName));
    const PortMap saved = DeviceSettings().Read({});
    EXPECT_EQ(saved.com1, row.port == 1 && !row.listed ? chosenLink : beforeLink);
    EXPECT_EQ(saved.com2, row.port == 2 ? chosenLink : QString());
  }
}

// A device that cannot be had changes nothing: one box says why and which device the port stays
// on, the open port stays open on its device, and nothing is saved.
TEST_F(DeviceChoiceTest, AFailedChoiceChangesNothing) {
  const QString gone = config.path() + QStringLiteral("/ttyGONE");
  const struct {
    const char* control;
    QString box;  // the text begins with this
    QString end;
  } table[] = {{"Option1", QStringLiteral("COM1 (%1) could not be opened").arg(gone), QStringLiteral("The panel stays on ")},
               {"Option2", QStringLiteral("COM2 cannot stand for %1: %1 does not exist.").arg(gone),
                QStringLiteral("COM2 stays on /nonexistent/ttyS1.")}};
  for (const auto& row : table) {
    SCOPED_TRACE(row.control);
    Pty before;
    QFile::remove(DeviceSettings().File());
    const QString beforeLink = Served(before);
    DeviceSettings().Save(1, beforeLink);
    Start panel;
    ASSERT_TRUE(panel.Run());
    QTest::mouseClick(panel.window.Control(QStringLiteral("Command33")), Qt::LeftButton);
    QStringList texts;
    ASSERT_TRUE(ChooseThroughMenu(panel, row.control, 0, Choose(gone), texts));
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].startsWith(row.box)) << texts[0].toStdString();
    EXPECT_TRUE(texts[0].endsWith(row.control[6] == '1' ? row.end + beforeLink + '.' : row.end)) << texts[0].toStdString();
    panel.PowerOn();
    EXPECT_EQ(before.Read(4), "C00\r");
    EXPECT_EQ(DeviceSettings().Read({}).com1, beforeLink);
    EXPECT_EQ(DeviceSettings().Read({}).com2, QString());
  }
}

// A settings file that cannot be read is told once; saving a choice there fails too, and is not
// told again. Neither stops the panel.
TEST_F(DeviceChoiceTest, AnUnreadableSettingsFileIsToldOnceAndNeverStopsThePanel) {
  QDir().mkpath(DeviceSettings().File());
  Pty chosen;
  BoxWatcher boxes({Click(QStringLiteral("OK")), Click(QStringLiteral("Choose a device...")),
                    Choose(QString::fromStdString(chosen.SlavePath()))});
  Start panel;
  ASSERT_TRUE(panel.Run());
  ASSERT_EQ(boxes.texts.size(), 2);  // the settings, then the start-up failure
  EXPECT_TRUE(boxes.texts[0].contains(DeviceSettings().File() + QStringLiteral(" is a folder, not a file")));
  panel.PowerOn();
  EXPECT_EQ(chosen.Read(4), "C00\r");
}

}  // namespace
