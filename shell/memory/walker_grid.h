// The memory walker's grid: a table view scrolled one row at a time, whose top row is the row
// the machine and the toolbar name, as far as the grid can scroll.
#pragma once

#include <QTableView>

namespace tallyrig {

class WalkerGrid : public QTableView {
    Q_OBJECT
public:
    explicit WalkerGrid(QWidget* parent = nullptr);

    // The row at the top; a row asked for before the grid has been laid out counts already.
    int top_row() const;
    // Asks for a top row; it is shown at the next place_top_row (rows are clamped to the grid).
    void set_top_row(int row);
    // Scrolls to the row asked for, once the grid knows its height.
    void place_top_row();

signals:
    // The user scrolled (or the grid did, as its height changed); not sent for set_top_row.
    void scrolled();

protected:
    void updateGeometries() override;

private:
    int m_wanted_top = -1; // -1: none waiting
    bool m_placing = false;
};

} // namespace tallyrig
