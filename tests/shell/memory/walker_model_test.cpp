#include "shell/memory/walker_model.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace tallyrig::testing {
namespace {

MemoryCells cells_with(std::initializer_list<std::pair<int32_t, int32_t>> values) {
    MemoryCells cells(kCellCount);
    for (auto [address, value] : values) {
        cells[static_cast<size_t>(address)].value = value;
    }
    return cells;
}

TEST(WalkerModel, DataAndAddressTexts) {
    const MemoryCells cells =
        cells_with({{1, 5}, {2, 255}, {3, 160}, {4, 256}, {5, 257}, {6, 0x1A2}, {10, 0}});
    const WalkerModel model(cells);
    EXPECT_EQ(model.rowCount(), 65536);
    EXPECT_EQ(model.columnCount(), 4);
    const struct {
        int32_t row;
        const char* data;
    } rows[] = {{1, "$05"}, {2, "$FF"},  {3, "$A0"}, {4, "$XX"},
                {5, "$##"}, {6, "$1A2"}, {10, "$00"}};
    for (const auto& r : rows) {
        EXPECT_EQ(model.text(r.row, WalkerColumn::Value), r.data) << r.row;
        EXPECT_EQ(model.data(model.index(r.row, 3)).toString(), r.data) << r.row;
    }
    EXPECT_EQ(model.text(0, WalkerColumn::Address), "$0");
    EXPECT_EQ(model.text(10, WalkerColumn::Address), "$A");
    EXPECT_EQ(model.text(0x4000, WalkerColumn::Address), "$4000");
    EXPECT_EQ(model.text(0xFFFF, WalkerColumn::Address), "$FFFF");
    EXPECT_EQ(model.text(4, WalkerColumn::Breakpoint), "");
    EXPECT_EQ(model.text(4, WalkerColumn::Marker), "");
    EXPECT_FALSE(model.flags(model.index(4, 3)) & Qt::ItemIsEditable);
}

TEST(WalkerModel, RowsStayAsWrittenUntilRewritten) {
    MemoryCells cells = cells_with({});
    WalkerModel model(cells);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    for (int32_t a = 0x10; a <= 0x20; ++a) {
        cells[static_cast<size_t>(a)].value = 7;
    }
    EXPECT_EQ(model.text(0x10, WalkerColumn::Value), "$00");

    model.rewrite_values(cells, 0x12, 0x14);
    EXPECT_EQ(model.text(0x11, WalkerColumn::Value), "$00");
    EXPECT_EQ(model.text(0x12, WalkerColumn::Value), "$07");
    EXPECT_EQ(model.text(0x14, WalkerColumn::Value), "$07");
    EXPECT_EQ(model.text(0x15, WalkerColumn::Value), "$00");
    model.set_text(0x18, WalkerColumn::Marker, " >>");
    EXPECT_EQ(changed.count(), 0); // shown only when published

    model.publish_changes();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 0x12);
    EXPECT_EQ(changed[0][1].toModelIndex().row(), 0x18);
    model.publish_changes();
    EXPECT_EQ(changed.count(), 1);

    // A range past either end is cut to the grid: its last row is written and published, and
    // nothing beyond it (cells has one cell more than the grid has rows).
    ASSERT_GT(cells.size(), static_cast<size_t>(kWalkerRows));
    cells[kWalkerLastRow].value = 9;
    model.rewrite_values(cells, -5, 70000);
    EXPECT_EQ(model.text(0x10, WalkerColumn::Value), "$07");
    EXPECT_EQ(model.text(kWalkerLastRow, WalkerColumn::Value), "$09");
    model.set_text(kWalkerLastRow, WalkerColumn::Breakpoint, "BP");
    EXPECT_EQ(model.text(kWalkerLastRow, WalkerColumn::Breakpoint), "BP");
    model.publish_changes();
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed[1][0].toModelIndex().row(), 0);
    EXPECT_EQ(changed[1][1].toModelIndex().row(), kWalkerLastRow);

    // Rows beyond the grid, and the address column, are not there to be written: such writes
    // change nothing, so nothing is published.
    for (const int32_t row : {-1, kWalkerRows, 70000}) {
        for (const WalkerColumn column : {WalkerColumn::Breakpoint, WalkerColumn::Marker,
                                          WalkerColumn::Value, WalkerColumn::Address}) {
            model.set_text(row, column, "x");
            EXPECT_EQ(model.text(row, column), "") << row;
        }
    }
    model.set_text(7, WalkerColumn::Address, "x");
    EXPECT_EQ(model.text(7, WalkerColumn::Address), "$7");
    model.rewrite_values(cells, kWalkerRows, 70000);
    model.rewrite_values(cells, -5, -1);
    model.publish_changes();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(model.rowCount(), kWalkerRows);
}

} // namespace
} // namespace tallyrig::testing
