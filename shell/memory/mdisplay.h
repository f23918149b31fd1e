// The memory walker: the whole memory as a grid, one row per address, with a breakpoint
// column, the current-instruction marker, the address and the byte stored there, and a
// toolbar that jumps through the memory map and opens the breakpoint and find dialogs. The
// grid is a display: it scrolls and jumps, but nothing in it can be edited.
#pragma once

#include "core/user_interface.h"

#include <QWidget>
#include <cstdint>
#include <string_view>

class QLabel;
class QToolBar;

namespace tallyrig {

class Machine;
class WalkerGrid;
class WalkerModel;

class mDisplay : public QWidget {
    Q_OBJECT
public:
    explicit mDisplay(Machine& machine, QWidget* parent = nullptr);
    ~mDisplay() override;

    const WalkerModel& model() const { return *m_model; }
    WalkerGrid* map() const { return m_grid; }

    // The writes of the machine, the panel and the dialogs. They change what the grid holds at
    // once and show it at the next paint.
    // Rewrites the data column of rows start..start + count; nothing when the last row would
    // pass 65,535. False when nothing was written.
    bool update_rows(int32_t start, int32_t count);
    void rewrite_values(int32_t first_row, int32_t last_row);
    void set_cell_text(int32_t row, WalkerColumn column, std::string_view text);
    void set_top_row(int32_t row);
    int32_t top_row() const;
    void set_back_colour(uint32_t colour);
    uint32_t back_colour() const { return m_back_colour; }

    // Shows what the writes changed: texts, top row and colour.
    void paint();

    // A button of the toolbar, by its key; other keys do nothing.
    void Toolbar1_ButtonClick(const QString& key);

signals:
    void breakpoint_dialog_requested();
    void find_dialog_requested();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build_toolbar();
    void map_Scroll();
    void place_controls(int grid_width, int grid_height);

    Machine& m_machine;
    WalkerModel* m_model = nullptr;
    WalkerGrid* m_grid = nullptr;
    QToolBar* m_toolbar = nullptr;
    QLabel* m_headings[4] = {};
    uint32_t m_back_colour = 0;
    uint32_t m_shown_colour = 0;
    bool m_colour_shown = false;
    bool m_sized = false;
};

} // namespace tallyrig
