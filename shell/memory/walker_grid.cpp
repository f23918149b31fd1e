#include "shell/memory/walker_grid.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

namespace tallyrig {

WalkerGrid::WalkerGrid(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("map"));
    // Fixed-pitch digits, so the hex columns line up.
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Fixed heights keep 65,536 rows as cheap to lay out as one.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!m_placing) {
            emit scrolled();
        }
    });
}

int WalkerGrid::top_row() const {
    return m_wanted_top >= 0 ? m_wanted_top : verticalScrollBar()->value();
}

void WalkerGrid::set_top_row(int row) {
    const int last = model() != nullptr ? std::max(model()->rowCount() - 1, 0) : 0;
    m_wanted_top = std::clamp(row, 0, last);
}

void WalkerGrid::place_top_row() {
    QScrollBar* bar = verticalScrollBar();
    // Until the grid has been laid out its scroll range is empty and would lose the row.
    if (m_wanted_top < 0 || (bar->maximum() == 0 && m_wanted_top > 0)) {
        return;
    }
    m_placing = true;
    bar->setValue(m_wanted_top);
    m_placing = false;
    m_wanted_top = -1;
}

void WalkerGrid::updateGeometries() {
    QTableView::updateGeometries();
    place_top_row();
}

} // namespace tallyrig
