#include "catalogue/ClearCompleted.h"

#include "platform/ListView.h"

namespace tandu {

namespace {
constexpr int kStateColumn = 2;
}

void ClearCompleted(ListView& lstDown) {
    // Backwards, so the rows still to visit keep their indexes.
    for (int row = lstDown.rowCount() - 1; row >= 0; --row) {
        if (lstDown.cell(row, kStateColumn) == "Completed") {
            lstDown.removeRow(row);
        }
    }
}

}  // namespace tandu
