#include "QtMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "FormView.h"
#include "controls/Form.h"
#include "controls/MenuItem.h"

namespace tandu::qt {

QAction* bindMenuAction(MenuItem& item, QObject* parent) {
    auto* action = new QAction(plainCaption(item.caption()), parent);
    action->setObjectName(QString::fromStdString(item.name()));
    action->setCheckable(item.checkable());
    action->setChecked(item.checked());
    action->setEnabled(item.enabled());
    action->setVisible(item.visible());
    QPointer<QAction> guard(action);
    MenuItem* model = &item;
    QObject::connect(action, &QAction::triggered, action, [guard, model] {
        model->click();
        // The item owns its check mark; undo the action's own toggling.
        if (guard) {
            guard->setChecked(model->checked());
        }
    });
    item.setListener([guard, model](const ControlChange& change) {
        if (!guard) {
            return;
        }
        switch (change.what) {
            case Change::Caption:
                guard->setText(plainCaption(model->caption()));
                break;
            case Change::Checked:
                guard->setChecked(model->checked());
                break;
            case Change::Enabled:
                guard->setEnabled(model->enabled());
                break;
            case Change::Visible:
                guard->setVisible(model->visible());
                break;
            default:
                break;
        }
    });
    return action;
}

void fillMenu(QMenu& menu, MenuItem& item) {
    for (MenuItem* child : item.items()) {
        if (child->isSeparator()) {
            menu.addSeparator()->setObjectName(QString::fromStdString(child->name()));
        } else {
            menu.addAction(bindMenuAction(*child, &menu));
        }
    }
}

void fillMenuBar(QMenuBar& bar, Form& form) {
    for (MenuItem* top : form.menus()) {
        if (!top->visible()) {
            continue;  // a pop-up menu of the window, never on the bar
        }
        if (top->items().empty()) {
            bar.addAction(bindMenuAction(*top, &bar));
            continue;
        }
        auto* menu = new QMenu(plainCaption(top->caption()), &bar);
        menu->setObjectName(QString::fromStdString(top->name()));
        fillMenu(*menu, *top);
        bar.addMenu(menu);
    }
}

}  // namespace tandu::qt
