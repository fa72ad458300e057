#pragma once

class QAction;
class QMenu;
class QMenuBar;
class QObject;

namespace tandu {
class Form;
class MenuItem;
}  // namespace tandu

namespace tandu::qt {

// An action bound to a menu item: caption, enabled, visible and check mark
// follow the item; choosing it runs the item's click.
QAction* bindMenuAction(MenuItem& item, QObject* parent);
// Fills a menu with the item's children (separators for "-").
void fillMenu(QMenu& menu, MenuItem& item);
// The form's visible top-level menus as a menu bar; a menu without items is a
// command on the bar itself.
void fillMenuBar(QMenuBar& bar, Form& form);

}  // namespace tandu::qt
