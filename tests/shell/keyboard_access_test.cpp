// The keys of the front panel and of the keyboard window answer the keyboard as they answer the
// pointer: Tab reaches each of them and Space presses the one it reached.
#include "panel/devices/keyboard.h"
#include "tests/shell/shell_fixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <set>

namespace tallyrig::testing {
namespace {

using KeyboardAccess = ShellTest;

TEST_F(KeyboardAccess, TabReachesEveryKeyAndSpacePressesIt) {
    main().dispatch_command("Terminal");
    main().show();
    main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    for (QWidget* window :
         {static_cast<QWidget*>(&panel()), static_cast<QWidget*>(main().keyboard_window())}) {
        ASSERT_NE(window, nullptr);
        const QList<QPushButton*> keys = window->findChildren<QPushButton*>();
        ASSERT_FALSE(keys.isEmpty());
        keys.front()->setFocus(Qt::TabFocusReason);
        std::set<QWidget*> reached;
        for (qsizetype n = 0; n < 2 * keys.size(); ++n) {
            QWidget* focused = QApplication::focusWidget();
            ASSERT_NE(focused, nullptr);
            if (keys.contains(focused)) {
                reached.insert(focused);
            }
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        EXPECT_EQ(reached.size(), static_cast<std::size_t>(keys.size()))
            << window->objectName().toStdString();
    }

    // Space on the focused power key switches the machine on.
    QPushButton* power = panel().findChild<QPushButton*>("Power_switch");
    ASSERT_NE(power, nullptr);
    power->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(machine().status.power_on, 1);
}

} // namespace
} // namespace tallyrig::testing
