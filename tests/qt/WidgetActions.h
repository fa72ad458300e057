#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tandu::test {

// The widget named `name` under `root`; a missing one ends the test.
template <typename Widget>
Widget* need(const QObject* root, const QString& name) {
    auto* found = root->findChild<Widget*>(name);
    if (found == nullptr) {
        throw std::runtime_error("no " + std::string(Widget::staticMetaObject.className()) +
                                 " named " + name.toStdString());
    }
    return found;
}

// A left click in the middle of a button; a disabled or hidden one does nothing.
inline void click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}

inline void clickRow(QTreeView* view, int row) {
    const QRect cell = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

inline void clickTab(QTabWidget* tabs, int index) {
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, Qt::NoModifier,
                      tabs->tabBar()->tabRect(index).center());
}

// A menu's (or a menu bar's) captions, "-" for a separator.
inline QStringList itemsOf(const QWidget* menu) {
    QStringList items;
    for (const QAction* action : menu->actions()) {
        items << (action->isSeparator() ? "-" : action->text());
    }
    return items;
}

// Makes `row` the list's current and only chosen row, as a program would.
inline void chooseRow(QTreeView* view, int row) {
    view->selectionModel()->setCurrentIndex(
        view->model()->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// Runs the event loop until `done` holds, for at most `ms` milliseconds.
inline bool waitFor(const std::function<bool()>& done, int ms = 15000) {
    return QTest::qWaitFor(done, ms);
}

}  // namespace tandu::test
