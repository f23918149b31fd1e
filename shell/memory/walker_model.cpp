#include "shell/memory/walker_model.h"

#include "core/text_helpers.h"

#include <algorithm>

namespace tallyrig {

WalkerModel::WalkerModel(const MemoryCells& cells, QObject* parent) : QAbstractTableModel(parent) {
    for (int32_t value = 0; value <= kHashValue; ++value) {
        intern(data_text(value).toStdString());
    }
    m_empty = intern("");
    m_columns[stored_column(WalkerColumn::Breakpoint)].assign(kWalkerRows, m_empty);
    m_columns[stored_column(WalkerColumn::Marker)].assign(kWalkerRows, m_empty);
    m_columns[stored_column(WalkerColumn::Value)].resize(kWalkerRows);
    rewrite_values(cells, 0, kWalkerLastRow);
    m_changed_first = kWalkerRows;
    m_changed_last = -1;
}

QString WalkerModel::data_text(int32_t value) {
    if (value == kUndefinedValue) {
        return QStringLiteral("$XX");
    }
    if (value == kHashValue) {
        return QStringLiteral("$##");
    }
    QString text = QStringLiteral("$") + QString::fromStdString(hex_text(value));
    if (text.size() < 3) {
        text.insert(1, QLatin1Char('0'));
    }
    return text;
}

int WalkerModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kWalkerRows;
}

int WalkerModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kWalkerColumns;
}

QVariant WalkerModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) {
        return {};
    }
    return text(index.row(), static_cast<WalkerColumn>(index.column()));
}

Qt::ItemFlags WalkerModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QString WalkerModel::text(int32_t row, WalkerColumn column) const {
    if (row < 0 || row > kWalkerLastRow) {
        return {};
    }
    if (column == WalkerColumn::Address) {
        // Written once at load and never again, so it is formatted when shown.
        return QStringLiteral("$") + QString::number(row, 16).toUpper();
    }
    const int stored = stored_column(column);
    if (stored < 0) {
        return {};
    }
    return m_texts.at(m_columns[static_cast<size_t>(stored)].at(static_cast<size_t>(row)));
}

void WalkerModel::set_text(int32_t row, WalkerColumn column, std::string_view text) {
    const int stored = stored_column(column);
    if (row < 0 || row > kWalkerLastRow || stored < 0) {
        return;
    }
    TextId& slot = m_columns[static_cast<size_t>(stored)].at(static_cast<size_t>(row));
    const TextId id = intern(text);
    if (slot != id) {
        slot = id;
        mark(row, row);
    }
}

void WalkerModel::rewrite_values(const MemoryCells& cells, int32_t first, int32_t last) {
    first = std::max(first, 0);
    last = std::min({last, kWalkerLastRow, static_cast<int32_t>(cells.size()) - 1});
    if (first > last) {
        return;
    }
    std::vector<TextId>& values = m_columns[stored_column(WalkerColumn::Value)];
    for (int32_t row = first; row <= last; ++row) {
        values.at(static_cast<size_t>(row)) = value_id(cells[static_cast<size_t>(row)].value);
    }
    mark(first, last);
}

void WalkerModel::publish_changes() {
    if (m_changed_first > m_changed_last) {
        return;
    }
    const QModelIndex top_left = index(m_changed_first, 0);
    const QModelIndex bottom_right = index(m_changed_last, kWalkerColumns - 1);
    m_changed_first = kWalkerRows;
    m_changed_last = -1;
    emit dataChanged(top_left, bottom_right, {Qt::DisplayRole});
}

WalkerModel::TextId WalkerModel::intern(std::string_view text) {
    if (const auto found = m_ids.find(text); found != m_ids.end()) {
        return found->second;
    }
    const auto id = static_cast<TextId>(m_texts.size());
    m_texts.push_back(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    m_ids.emplace(std::string(text), id);
    return id;
}

WalkerModel::TextId WalkerModel::value_id(int32_t value) {
    if (value >= 0 && value <= kHashValue) {
        return static_cast<TextId>(value);
    }
    return intern(data_text(value).toStdString());
}

int WalkerModel::stored_column(WalkerColumn column) {
    switch (column) {
    case WalkerColumn::Breakpoint:
        return 0;
    case WalkerColumn::Marker:
        return 1;
    case WalkerColumn::Value:
        return 2;
    case WalkerColumn::Address:
        break;
    }
    return -1;
}

void WalkerModel::mark(int32_t first, int32_t last) {
    m_changed_first = std::min(m_changed_first, first);
    m_changed_last = std::max(m_changed_last, last);
}

} // namespace tallyrig
