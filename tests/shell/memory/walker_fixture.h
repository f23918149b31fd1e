// A whole simulator with the memory walker's grid, toolbar and dialogs at hand.
#pragma once

#include "shell/memory/bpoint.h"
#include "shell/memory/find_add.h"
#include "shell/memory/mdisplay.h"
#include "shell/memory/walker_grid.h"
#include "shell/memory/walker_model.h"
#include "tests/shell/shell_fixture.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>

namespace tallyrig::testing {

class WalkerTest : public ShellTest {
protected:
    mDisplay& walker() {
        mDisplay* window = main().memory_walker();
        EXPECT_NE(window, nullptr) << "the walker is closed";
        return *window;
    }
    void open_walker() { main().dispatch_command("Display Memory Map"); }
    void close_walker() {
        walker().parentWidget()->close();
        settle();
    }
    QString text(int32_t row, WalkerColumn column) { return walker().model().text(row, column); }
    QString data(int32_t row) { return text(row, WalkerColumn::Value); }
    void set_value(int32_t address, int32_t v) {
        machine().memory_cells[static_cast<std::size_t>(address)].value = v;
    }
    int32_t breakpoint(int32_t address) {
        return machine().memory_cells[static_cast<std::size_t>(address)].breakpoint;
    }

    BPoint& breakpoint_dialog() {
        walker().Toolbar1_ButtonClick("BREAK");
        return *main().breakpoint_dialog();
    }
    find_add& find_dialog() {
        walker().Toolbar1_ButtonClick("FIND");
        return *main().find_dialog();
    }
    // Types the address and clicks the button, as the user would.
    void enter(QWidget& dialog, const QString& address, const char* button) {
        auto* field = dialog.findChild<QLineEdit*>("Address_string");
        field->clear();
        QTest::keyClicks(field, address);
        QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
    }
};

} // namespace tallyrig::testing
