#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/Control.h"

namespace tandu {

// A list in report layout. Rows and columns are 0-based here; column 0 is the
// row text and columns 1.. are the sub-items.
class ListView : public Control {
public:
    struct Column {
        std::string header;
        int width = 0;  // twips
    };

    using Control::Control;

    const std::vector<Column>& columns() const { return columns_; }
    void addColumn(const std::string& header, int width);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    // Appends a row whose other cells are empty; returns its index.
    int addRow(const std::string& text);
    void removeRow(int row);
    // Removes every row `pick` answers true for (asked with each row's index
    // before any row goes) in one pass, then tells the listener the rows were
    // reset. Returns how many rows went.
    int removeRowsWhere(const std::function<bool(int row)>& pick);
    void clear();

    // Empty for a row or column that does not exist.
    const std::string& cell(int row, int column) const;
    const std::string& text(int row) const { return cell(row, 0); }
    void setCell(int row, int column, const std::string& value);

    // -1 when no row is selected.
    int selectedIndex() const { return selected_; }
    // Moves the selection without running the row-selection handler.
    void select(int row);
    // A user's selection of a row: selects it, then runs the handler.
    void clickRow(int row);
    std::function<void()> onItemClick;
    // A right click on a row selects it as a click does, then asks for its menu.
    void rightClickRow(int row);
    std::function<void()> onRowMenu;
    // A double click on a row (its first click has selected it).
    void doubleClickRow(int row);
    std::function<void()> onDoubleClick;
    // Keys pressed while the list has the input focus and a row is selected.
    enum class Key { Enter, Delete };
    void keyDown(Key key);
    std::function<void(Key)> onKeyDown;

private:
    bool validRow(int row) const { return row >= 0 && row < rowCount(); }

    std::vector<Column> columns_;
    std::vector<std::vector<std::string>> rows_;
    int selected_ = -1;
};

}  // namespace tandu
