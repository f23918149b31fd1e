#include "shell/memory/mdisplay.h"

#include "common/screen_units.h"
#include "core/machine.h"
#include "shell/memory/walker_grid.h"
#include "shell/memory/walker_model.h"
#include "shell/pictures/walker_pictures.h"
#include "shell/views/view_text.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QToolBar>
#include <algorithm>

namespace tallyrig {

namespace {

// Sizes in twips. The window loads at 4110 by 3200; from then on it is 4950 wide and the grid
// keeps a fixed distance to the window's edges.
constexpr int kColumnWidths[kWalkerColumns] = {950, 950, 1200, 1200};
constexpr int kLoadWidth = 4110;
constexpr int kLoadHeight = 3200;
constexpr int kWidth = 4950;
constexpr int kHeightBesideGrid = 1800;
constexpr int kWidthBesideGrid = 360;
constexpr int kGridLeft = 120;

constexpr int32_t kRomJumpRow = 1; // "ROM" shows row 1 at the top, not row 0

const char* const kHeadings[kWalkerColumns] = {"BP", "Step", "Address", "Data"};

struct ToolbarButton {
    const char* key;
    const char* tooltip;
    int32_t target;                         // top row of a jump to a fixed place; -1 none
    int32_t CpuRegisters::*target_register; // or the register holding the top row
};

constexpr ToolbarButton kToolbarButtons[] = {
    {"BREAK", "Set/Clear Breakpoints", -1, nullptr},
    {"RAM", "Goto RAM", kRamStart, nullptr},
    {"ROM", "Goto ROM", kRomJumpRow, nullptr},
    {"IN", "Goto Input Ports", kInputPortStart, nullptr},
    {"OUT", "Goto Output Ports", kOutputPortStart, nullptr},
    {"FIND", "Find Address", -1, nullptr},
    {"STACK", "Goto Stack Pointer", -1, &CpuRegisters::stack_pointer},
    {"PROG", "Goto Program Counter", -1, &CpuRegisters::program_counter},
};

} // namespace

mDisplay::mDisplay(Machine& machine, QWidget* parent) : QWidget(parent), m_machine(machine) {
    m_machine.window_opened(MachineWindow::MemoryWalker, true);
    setObjectName(QStringLiteral("mDisplay"));
    setWindowTitle(QStringLiteral("Memory Walker"));

    build_toolbar();
    for (int column = 0; column < kWalkerColumns; ++column) {
        m_headings[column] = new QLabel(QString::fromLatin1(kHeadings[column]), this);
        m_headings[column]->setObjectName(QStringLiteral("Label%1").arg(column + 1));
    }

    m_grid = new WalkerGrid(this);
    // Building the model writes every address and data text in one pass, without yielding.
    m_model = new WalkerModel(m_machine.memory_cells, this);
    m_grid->setModel(m_model);
    for (int column = 0; column < kWalkerColumns; ++column) {
        m_grid->setColumnWidth(column, twips_to_pixels(kColumnWidths[column]));
    }
    connect(m_grid, &WalkerGrid::scrolled, this, &mDisplay::map_Scroll);

    set_top_row(kRamStart);
    set_back_colour(m_machine.power_is_on() ? kColourWhite : kColourLightGrey);
    resize(twips_to_pixels(kLoadWidth), twips_to_pixels(kLoadHeight));
    paint();
}

mDisplay::~mDisplay() = default;

void mDisplay::build_toolbar() {
    m_toolbar = new QToolBar(QStringLiteral("Toolbar1"), this);
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setIconSize(QSize(kWalkerPictureSize, kWalkerPictureSize));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolbar->setMovable(false);
    for (const ToolbarButton& button : kToolbarButtons) {
        const QString key = QString::fromLatin1(button.key);
        QAction* action = m_toolbar->addAction(walker_picture(key), key);
        action->setObjectName(QStringLiteral("Toolbar1_") + key);
        action->setToolTip(QString::fromLatin1(button.tooltip));
        action->setData(key);
        connect(action, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
    }
}

void mDisplay::Toolbar1_ButtonClick(const QString& key) {
    if (key == QLatin1String("BREAK")) {
        emit breakpoint_dialog_requested();
        return;
    }
    if (key == QLatin1String("FIND")) {
        emit find_dialog_requested();
        return;
    }
    for (const ToolbarButton& button : kToolbarButtons) {
        if (key != QLatin1String(button.key)) {
            continue;
        }
        const int32_t target = button.target_register != nullptr
                                   ? m_machine.cpu.*button.target_register
                                   : button.target;
        set_top_row(target);
        m_machine.ui().update_memory_walker(target, kWalkerScreenRefreshRows);
        paint();
        return;
    }
}

// The user scrolled: bring the rows from the new top row up to date and show them at once.
void mDisplay::map_Scroll() {
    m_machine.ui().update_memory_walker(top_row(), kWalkerScreenRefreshRows);
    m_model->publish_changes();
}

bool mDisplay::update_rows(int32_t start, int32_t count) {
    const int64_t end = static_cast<int64_t>(start) + count;
    if (end > kWalkerLastRow) {
        return false;
    }
    m_model->rewrite_values(m_machine.memory_cells, start, static_cast<int32_t>(end));
    return true;
}

void mDisplay::rewrite_values(int32_t first_row, int32_t last_row) {
    m_model->rewrite_values(m_machine.memory_cells, first_row, last_row);
}

void mDisplay::set_cell_text(int32_t row, WalkerColumn column, std::string_view text) {
    m_model->set_text(row, column, text);
}

void mDisplay::set_top_row(int32_t row) {
    m_grid->set_top_row(row);
}

int32_t mDisplay::top_row() const {
    return m_grid->top_row();
}

void mDisplay::set_back_colour(uint32_t colour) {
    m_back_colour = colour;
}

void mDisplay::paint() {
    m_grid->place_top_row();
    if (!m_colour_shown || m_shown_colour != m_back_colour) {
        QPalette palette = m_grid->palette();
        palette.setColor(QPalette::Base, bgr_colour(m_back_colour));
        m_grid->setPalette(palette);
        m_shown_colour = m_back_colour;
        m_colour_shown = true;
    }
    m_model->publish_changes();
}

void mDisplay::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_sized) {
        m_sized = true;
        // The resize rule below takes over at once, so the load size counts for the height.
        workspace_frame(this)->resize(twips_to_pixels(kLoadWidth), twips_to_pixels(kLoadHeight));
    }
    paint();
}

// The size rules concern the frame the workspace gives the window, as the user sees it.
void mDisplay::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    QWidget* window = workspace_frame(this);
    if (window->isMinimized()) {
        return;
    }
    // A maximised window takes the workspace's width; any other keeps the fixed one.
    if (!window->isMaximized() && window->width() != twips_to_pixels(kWidth)) {
        window->resize(twips_to_pixels(kWidth), window->height());
        return;
    }
    place_controls(window->width() - twips_to_pixels(kWidthBesideGrid),
                   window->height() - twips_to_pixels(kHeightBesideGrid));
}

void mDisplay::place_controls(int grid_width, int grid_height) {
    const int left = twips_to_pixels(kGridLeft);
    m_toolbar->setGeometry(0, 0, width(), m_toolbar->sizeHint().height());
    const int headings_top = m_toolbar->height() + 2;
    int x = left;
    for (int column = 0; column < kWalkerColumns; ++column) {
        QLabel* heading = m_headings[column];
        heading->setGeometry(x + 3, headings_top, twips_to_pixels(kColumnWidths[column]) - 3,
                             heading->sizeHint().height());
        x += twips_to_pixels(kColumnWidths[column]);
    }
    const int grid_top = headings_top + m_headings[0]->height() + 2;
    m_grid->setGeometry(left, grid_top, std::max(grid_width, 0), std::max(grid_height, 0));
}

void mDisplay::closeEvent(QCloseEvent* event) {
    m_machine.window_opened(MachineWindow::MemoryWalker, false);
    QWidget::closeEvent(event);
}

} // namespace tallyrig
