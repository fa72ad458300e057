#pragma once

#include <QAbstractTableModel>

namespace tandu {
class ListView;
}

namespace tandu::qt {

// A table model over a ListView control's rows; it follows the control's
// change notices row by row, so long lists stay cheap to update.
class ListViewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListViewModel(ListView& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The control has appended row `row` / removed it / changed a cell.
    void rowInserted(int row);
    void rowRemoved(int row);
    void cellChanged(int row, int column);
    void reset();

private:
    ListView& list_;
    // The row count the views know; it follows the control one notice at a time.
    int rows_ = 0;
};

}  // namespace tandu::qt
