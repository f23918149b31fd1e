// What a newcomer sees first, checked on the rendered windows: captions that read on their
// keys, a front panel wholly inside its frame, toolbar pictures, whole status panels, the
// program's icon, and tool windows that do not cover the panel or each other.
#include "common/caption_colour.h"
#include "common/frm_about.h"
#include "tests/shell/shell_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTest>
#include <QToolBar>
#include <cmath>
#include <map>

namespace tallyrig::testing {
namespace {

// The colour that covers most of a rendered widget: its face.
QColor dominant_colour(const QImage& image) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    return QColor(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                      return a.second < b.second;
                  })->first);
}

bool is_blank(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                return false;
            }
        }
    }
    return true;
}

using FirstLook = ShellTest;

TEST_F(FirstLook, EveryShippedCaptionReadsOnItsKey) {
    settle();
    // Bold captions: the contrast that large text needs.
    constexpr double kReadable = 3.0;
    for (int n = 1; n <= 70; ++n) {
        QPushButton* key = panel().programmable_key(n);
        const QColor face = dominant_colour(key->grab().toImage());
        const QColor caption = key->palette().color(QPalette::Active, QPalette::ButtonText);
        EXPECT_GE(contrast_ratio(face, caption), kReadable)
            << "key " << n << " " << key->text().toStdString() << " in "
            << caption.name().toStdString() << " on " << face.name().toStdString();
    }
}

TEST_F(FirstLook, TheFrontPanelLiesWholeInsideItsFrame) {
    settle();
    QWidget& calculator = panel();
    const QRect inside = calculator.rect();
    for (const QWidget* control : calculator.findChildren<QWidget*>()) {
        const QRect place(control->mapTo(&calculator, QPoint(0, 0)), control->size());
        EXPECT_TRUE(inside.contains(place)) << control->objectName().toStdString();
    }
    // The display's frame keeps a margin from every edge, so no window border hides it.
    const auto* frame = calculator.findChild<QWidget*>("SSPanel1");
    ASSERT_NE(frame, nullptr);
    const QRect display(frame->mapTo(&calculator, QPoint(0, 0)), frame->size());
    EXPECT_TRUE(inside.adjusted(2, 2, -2, -2).contains(display));
    // The sub-window shows all of the panel, and the panel cannot be stretched into margins.
    auto* sub = qobject_cast<QMdiSubWindow*>(calculator.parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->contentsRect().contains(
        QRect(calculator.mapTo(sub, QPoint(0, 0)), calculator.size())));
    EXPECT_EQ(calculator.minimumSize(), calculator.maximumSize());
}

// No control would bring a closed panel back, so the user can set it aside but not close it.
TEST_F(FirstLook, TheFrontPanelCanBeMinimisedButNotClosed) {
    settle();
    auto* frame = qobject_cast<QMdiSubWindow*>(panel().parentWidget());
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(frame->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(frame->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    for (const QAction* action : frame->systemMenu()->actions()) {
        EXPECT_FALSE(action->isEnabled() &&
                     action->shortcut() == QKeySequence(QKeySequence::Close));
    }
    main().workspace()->setActiveSubWindow(frame);
    QTest::keyClick(frame, Qt::Key_F4, Qt::ControlModifier);
    settle();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(app->buttons().calculator_loaded, 1);

    // A click where the title bar would have its close button.
    QStyleOptionTitleBar bar;
    bar.initFrom(frame);
    bar.titleBarFlags = frame->windowFlags() | Qt::WindowSystemMenuHint;
    bar.subControls = QStyle::SC_All;
    bar.rect = QRect(0, 0, frame->width(),
                     frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, &bar, frame));
    const QRect close = frame->style()->subControlRect(QStyle::CC_TitleBar, &bar,
                                                       QStyle::SC_TitleBarCloseButton, frame);
    ASSERT_FALSE(close.isEmpty());
    QTest::mouseMove(frame, close.center()); // the title bar presses the control hovered
    QTest::mouseClick(frame, Qt::LeftButton, {}, close.center());
    settle();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(app->buttons().calculator_loaded, 1);
}

TEST_F(FirstLook, ToolbarStatusBarAndIconAreDrawn) {
    settle();
    const auto* toolbar = main().findChild<QToolBar*>("Toolbar1");
    ASSERT_NE(toolbar, nullptr);
    const QList<QAction*> buttons = toolbar->actions();
    ASSERT_EQ(buttons.size(), 8);
    for (const QAction* button : buttons) {
        const QImage picture = button->icon().pixmap(32, 32).toImage();
        EXPECT_EQ(picture.size(), QSize(32, 32)) << button->objectName().toStdString();
        EXPECT_FALSE(is_blank(picture)) << button->objectName().toStdString();
        EXPECT_FALSE(button->text().isEmpty());
    }

    // Three framed panels side by side, each wide enough for its texts, from the start.
    const QList<QLabel*> panels = main().statusBar()->findChildren<QLabel*>();
    ASSERT_EQ(panels.size(), 3);
    for (const char* text : {"SERVICING INTERRUPT", "POWER_OFF"}) {
        const QLabel* panel = panels[text[0] == 'S' ? 0 : 2];
        EXPECT_GE(panel->contentsRect().width(), panel->fontMetrics().horizontalAdvance(text))
            << text;
    }
    for (const QLabel* panel : panels) {
        EXPECT_NE(panel->frameShape(), QFrame::NoFrame);
        EXPECT_TRUE(main().statusBar()->rect().contains(panel->geometry()));
    }
    EXPECT_EQ(main().mode_status(), "POWER_OFF");

    ASSERT_FALSE(main().windowIcon().isNull());
    main().dispatch_command("About");
    const auto* icon = main().about_window()->findChild<QLabel*>("picIcon");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->pixmap().toImage(),
              main().windowIcon().pixmap(icon->pixmap().size()).toImage());
}

TEST_F(FirstLook, ToolWindowsOpenBesideThePanelAndEachOther) {
    // The size the main window takes on a common screen (the offscreen one is smaller).
    main().resize(1400, 940);
    settle();
    main().dispatch_command("Display CPU registers");
    main().dispatch_command("IOPort");
    settle();
    QList<QRect> places;
    for (const QMdiSubWindow* window : main().workspace()->subWindowList()) {
        places.append(window->geometry());
    }
    ASSERT_EQ(places.size(), 3);
    for (int i = 0; i < places.size(); ++i) {
        EXPECT_TRUE(
            QRect(QPoint(0, 0), main().workspace()->viewport()->size()).contains(places[i]));
        for (int j = i + 1; j < places.size(); ++j) {
            EXPECT_FALSE(places[i].intersects(places[j])) << i << " and " << j;
        }
    }
}

} // namespace
} // namespace tallyrig::testing
