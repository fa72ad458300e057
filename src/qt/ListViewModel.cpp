#include "ListViewModel.h"

#include "Text.h"
#include "controls/ListView.h"

namespace tandu::qt {

ListViewModel::ListViewModel(ListView& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), rows_(list.rowCount()) {}

int ListViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.columns().size());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    // Out-of-range rows answer empty text (the control changes before the view hears).
    return toQ(list_.cell(index.row(), index.column()));
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(list_.columns().size())) {
        return {};
    }
    return toQ(list_.columns()[section].header);
}

void ListViewModel::rowInserted(int row) {
    beginInsertRows(QModelIndex(), row, row);
    ++rows_;
    endInsertRows();
}

void ListViewModel::rowRemoved(int row) {
    beginRemoveRows(QModelIndex(), row, row);
    --rows_;
    endRemoveRows();
}

void ListViewModel::cellChanged(int row, int column) {
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

void ListViewModel::reset() {
    beginResetModel();
    rows_ = list_.rowCount();
    endResetModel();
}

}  // namespace tandu::qt
