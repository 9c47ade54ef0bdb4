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
#include "launcher/SimProcess.h"
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
    QTest::mouseClick(ok, Qt::LeftButton);
  };
}

class DeviceChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override { qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit()); }
  void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }
  QTemporaryDir config;
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
    BoxWatcher boxes({Click(choose), Choose(gone), Click(choose), Choose(sim.Path())});
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
// only changes what COM2 stands for. Either is saved for its own port alone.
TEST_F(DeviceChoiceTest, TheOptionsAndComOpenTheChooserAndTheChoiceIsSavedForItsPort) {
  const struct {
    const char* control;
    int port;
    int entry;    // of the context menu
    bool listed;  // picked from the chooser's list rather than typed
  } table[] = {{"Option1", 1, 0, false}, {"Option2", 2, 0, false}, {"Command33", 1, 0, true}, {"Command33", 2, 1, false}};
  for (const auto& row : table) {
    SCOPED_TRACE(std::string(row.control) + " COM" + std::to_string(row.port));
    Pty before, chosen;
    QFile::remove(DeviceSettings().File());
    DeviceSettings().Save(1, QString::fromStdString(before.SlavePath()));
    Start panel({{chosen.SlavePath(), "a USB adapter"}});
    ASSERT_TRUE(panel.Run());
    // COM shows the options, which then lie over COM: COM's own menu is asked for without them.
    if (row.control[0] == 'O') QTest::mouseClick(panel.window.Control(QStringLiteral("Command33")), Qt::LeftButton);
    BoxWatcher boxes({[&row](QWidget* menu) {
                        const QRect entry = qobject_cast<QMenu*>(menu)->actionGeometry(menu->actions().at(row.entry));
                        QTest::mouseClick(menu, Qt::LeftButton, {}, entry.center());
                      },
                      Choose(row.listed ? QString() : QString::fromStdString(chosen.SlavePath()))});
    // A right-click as the platform delivers it, through the window, which makes the context-menu event.
    QWidget* control = panel.window.Control(QString::fromLatin1(row.control));
    QTest::mouseClick(panel.window.windowHandle(), Qt::RightButton, {}, control->mapTo(&panel.window, control->rect().center()));
    ASSERT_TRUE(boxes.Done());
    EXPECT_EQ(boxes.texts, QStringList());

    panel.PowerOn();
    EXPECT_EQ((row.port == 1 ? chosen : before).Read(4), "C00\r");
    EXPECT_TRUE(panel.window.Control(QStringLiteral("Option%1").arg(row.port))
                    ->toolTip().startsWith(QString::fromStdString(chosen.SlavePath())));
    const PortMap saved = DeviceSettings().Read({});
    EXPECT_EQ(saved.com1.toStdString(), row.port == 1 ? chosen.SlavePath() : before.SlavePath());
    EXPECT_EQ(saved.com2.toStdString(), row.port == 2 ? chosen.SlavePath() : "");
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
