// The memory walker's grid contents: 65,536 rows, one per address, and four columns. The model
// keeps the texts it shows, so a row shows what was last written into it until someone
// refreshes it, exactly as the machine expects; nothing is read from memory behind its back.
#pragma once

#include "core/machine_state.h"
#include "core/user_interface.h"

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tallyrig {

inline constexpr int32_t kWalkerRows = 65536;
inline constexpr int32_t kWalkerLastRow = kWalkerRows - 1;
inline constexpr int kWalkerColumns = 4;

class WalkerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The load: column 2 the addresses, column 3 the values of the cells, 0 and 1 empty.
    explicit WalkerModel(const MemoryCells& cells, QObject* parent = nullptr);

    // The data column's text of a value: "$05", "$FF", "$XX" for 256, "$##" for 257.
    static QString data_text(int32_t value);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QString text(int32_t row, WalkerColumn column) const;

    // Writes one cell; the address column is the load's alone and rows outside the grid do
    // not exist, so both are ignored.
    void set_text(int32_t row, WalkerColumn column, std::string_view text);
    // Rewrites the data column of rows first..last (as far as they exist) from the cells.
    void rewrite_values(const MemoryCells& cells, int32_t first, int32_t last);

    // Tells the views which rows changed since the last call; writes only mark them, so a
    // burst of writes costs one repaint.
    void publish_changes();

private:
    // Each shown text is an index into m_texts; the first 258 are the data texts of the values
    // 0 to 257, so storing a value's text is storing the value.
    using TextId = uint32_t;
    static constexpr int kStoredColumns = 3; // breakpoint, marker, data

    TextId intern(std::string_view text);
    TextId value_id(int32_t value);
    static int stored_column(WalkerColumn column);
    void mark(int32_t first, int32_t last);

    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::vector<QString> m_texts;
    std::unordered_map<std::string, TextId, TextHash, std::equal_to<>> m_ids;
    // Reached through at(): a row check gone wrong throws rather than writing past the grid.
    std::array<std::vector<TextId>, kStoredColumns> m_columns;
    TextId m_empty = 0;

    int32_t m_changed_first = kWalkerRows; // none changed while first > last
    int32_t m_changed_last = -1;
};

} // namespace tallyrig
