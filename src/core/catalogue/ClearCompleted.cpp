#include "catalogue/ClearCompleted.h"

#include "platform/ListView.h"

namespace tandu {

namespace {
constexpr int kStateColumn = 2;
// Up to this many rows go one by one, which keeps the list's scroll place;
// more go in one pass, as one by one costs a full shift of the list each.
constexpr int kOneByOneLimit = 64;
}  // namespace

void ClearCompleted(ListView& lstDown) {
    auto completed = [&lstDown](int row) { return lstDown.cell(row, kStateColumn) == "Completed"; };
    int count = 0;
    for (int row = 0; row < lstDown.rowCount(); ++row) {
        count += completed(row) ? 1 : 0;
    }
    if (count > kOneByOneLimit) {
        lstDown.removeRowsWhere(completed);
        return;
    }
    // Backwards, so the rows still to visit keep their indexes.
    for (int row = lstDown.rowCount() - 1; row >= 0; --row) {
        if (completed(row)) {
            lstDown.removeRow(row);
        }
    }
}

}  // namespace tandu
