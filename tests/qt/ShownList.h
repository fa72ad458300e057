#pragma once

#include <QAbstractItemModel>
#include <QStringList>
#include <QTreeView>
#include <QVector>

namespace tandu::test {

// The texts a list view shows: read from its model only when the model tells
// the view of a change, as the view itself repaints. A cell changed without
// telling the view stays stale here, as it would on the screen.
class ShownList : public QObject {
public:
    explicit ShownList(QTreeView* view) : model_(view->model()) {
        readAll();
        QObject::connect(model_, &QAbstractItemModel::dataChanged, this,
                         [this](const QModelIndex& from, const QModelIndex& to) {
                             for (int row = from.row(); row <= to.row(); ++row) {
                                 for (int column = from.column(); column <= to.column(); ++column) {
                                     rows_[row][column] = text(row, column);
                                 }
                             }
                         });
        // Rows coming or going are read afresh, as the view lays them out anew.
        for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
            QObject::connect(model_, signal, this, [this] { readAll(); });
        }
        QObject::connect(model_, &QAbstractItemModel::modelReset, this, [this] { readAll(); });
    }

    int rows() const { return static_cast<int>(rows_.size()); }
    QString cell(int row, int column) const {
        return row < rows() && column < rows_[row].size() ? rows_[row][column] : QString();
    }

private:
    QString text(int row, int column) const { return model_->index(row, column).data().toString(); }
    QStringList readRow(int row) const {
        QStringList cells;
        for (int column = 0; column < model_->columnCount(); ++column) {
            cells << text(row, column);
        }
        return cells;
    }
    void readAll() {
        rows_.clear();
        for (int row = 0; row < model_->rowCount(); ++row) {
            rows_.push_back(readRow(row));
        }
    }

    QAbstractItemModel* model_;
    QVector<QStringList> rows_;
};

}  // namespace tandu::test
