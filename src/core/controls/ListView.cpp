#include "controls/ListView.h"

namespace tandu {

namespace {
const std::string kEmpty;
}

void ListView::addColumn(const std::string& header, int width) {
    columns_.push_back(Column{header, width});
    notify(Change::Columns);
}

int ListView::addRow(const std::string& text) {
    std::vector<std::string> cells(columns_.empty() ? 1 : columns_.size());
    cells[0] = text;
    rows_.push_back(std::move(cells));
    const int row = rowCount() - 1;
    notify(Change::RowInserted, row);
    return row;
}

void ListView::removeRow(int row) {
    if (!validRow(row)) {
        return;
    }
    rows_.erase(rows_.begin() + row);
    if (selected_ == row) {
        selected_ = -1;
    } else if (selected_ > row) {
        --selected_;
    }
    notify(Change::RowRemoved, row);
}

int ListView::removeRowsWhere(const std::function<bool(int row)>& pick) {
    std::vector<bool> doomed(rows_.size());
    int count = 0;
    for (int row = 0; row < rowCount(); ++row) {
        doomed[row] = pick(row);
        count += doomed[row] ? 1 : 0;
    }
    if (count == 0) {
        return 0;
    }
    int kept = 0;
    int selected = -1;
    for (int row = 0; row < rowCount(); ++row) {
        if (doomed[row]) {
            continue;
        }
        if (row == selected_) {
            selected = kept;
        }
        if (kept != row) {
            rows_[kept] = std::move(rows_[row]);
        }
        ++kept;
    }
    rows_.resize(kept);
    selected_ = selected;
    notify(Change::RowsReset);
    if (selected_ >= 0) {
        notify(Change::Selection, selected_);
    }
    return count;
}

void ListView::clear() {
    rows_.clear();
    selected_ = -1;
    notify(Change::RowsReset);
}

const std::string& ListView::cell(int row, int column) const {
    if (!validRow(row) || column < 0 || column >= static_cast<int>(rows_[row].size())) {
        return kEmpty;
    }
    return rows_[row][column];
}

void ListView::setCell(int row, int column, const std::string& value) {
    if (!validRow(row) || column < 0) {
        return;
    }
    auto& cells = rows_[row];
    if (column >= static_cast<int>(cells.size())) {
        cells.resize(column + 1);
    }
    if (cells[column] == value) {
        return;
    }
    cells[column] = value;
    notify(Change::Cell, row, column);
}

void ListView::select(int row) {
    const int wanted = validRow(row) ? row : -1;
    if (wanted == selected_) {
        return;
    }
    selected_ = wanted;
    notify(Change::Selection, selected_);
}

void ListView::clickRow(int row) {
    select(row);
    if (onItemClick && validRow(row)) {
        onItemClick();
    }
}

void ListView::rightClickRow(int row) {
    if (!validRow(row)) {
        return;
    }
    clickRow(row);
    if (onRowMenu && selected_ == row) {
        onRowMenu();
    }
}

void ListView::doubleClickRow(int row) {
    if (!validRow(row)) {
        return;
    }
    if (selected_ != row) {
        clickRow(row);
    }
    if (onDoubleClick && selected_ == row) {
        onDoubleClick();
    }
}

void ListView::keyDown(Key key) {
    if (onKeyDown && validRow(selected_)) {
        onKeyDown(key);
    }
}

}  // namespace tandu
