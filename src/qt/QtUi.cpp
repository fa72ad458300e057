#include "QtUi.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFileDialog>
#include <QInputDialog>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include "QtDialog.h"
#include "QtMenus.h"
#include "Text.h"
#include "controls/CommonDialog.h"
#include "controls/Form.h"
#include "controls/MenuItem.h"

namespace tandu::qt {

QWidget* QtUi::parentWindow() const {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    return mainWindow_ && mainWindow_->isVisible() ? mainWindow_.data() : nullptr;
}

void QtUi::messageBox(const std::string& text, const std::string& title, MsgIcon icon) {
    QMessageBox::Icon qicon = QMessageBox::Information;
    switch (icon) {
        case MsgIcon::Critical:
            qicon = QMessageBox::Critical;
            break;
        case MsgIcon::Question:
            qicon = QMessageBox::Question;
            break;
        case MsgIcon::Exclamation:
            qicon = QMessageBox::Warning;
            break;
        case MsgIcon::Information:
            qicon = QMessageBox::Information;
            break;
    }
    // CR LF line ends would count twice when the box measures its text.
    QString shown = toQ(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(qicon, toQ(title), shown, QMessageBox::Ok, parentWindow());
    box.setTextFormat(Qt::PlainText);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

std::string QtUi::inputBox(const std::string& prompt, const std::string& title,
                           const std::string& defaultText) {
    QInputDialog box(parentWindow());
    box.setWindowTitle(toQ(title));
    box.setLabelText(toQ(prompt));
    box.setTextValue(toQ(defaultText));
    // Room for a whole address, as a prompt box has (5 inches).
    box.resize(std::max(box.sizeHint().width(), scale().px(7200)), box.sizeHint().height());
    return box.exec() == QDialog::Accepted ? fromQ(box.textValue()) : std::string();
}

QString QtUi::qtFilter(const std::string& filter) {
    const QStringList parts = toQ(filter).split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        // Qt reads the patterns from the last parentheses of an entry.
        const int open = description.lastIndexOf('(');
        if (open > 0 && description.endsWith(')')) {
            const QString shown = description.mid(open + 1, description.size() - open - 2);
            description = description.left(open).trimmed();
            entries << QStringLiteral("%1 (%2)").arg(
                description,
                shown.compare(pattern, Qt::CaseSensitive) == 0 ? pattern : shown + ' ' + pattern);
        } else {
            entries << QStringLiteral("%1 (%2)").arg(description, pattern);
        }
    }
    return entries.join(QStringLiteral(";;"));
}

void QtUi::showOpen(CommonDialog& dialog) {
    const QString name = QFileDialog::getOpenFileName(parentWindow(), toQ(dialog.dialogTitle),
                                                      QString(), qtFilter(dialog.filter), nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    dialog.fileName = fromQ(name);
}

void QtUi::showSave(CommonDialog& dialog) {
    const QString name = QFileDialog::getSaveFileName(parentWindow(), toQ(dialog.dialogTitle),
                                                      QString(), qtFilter(dialog.filter), nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    dialog.fileName = fromQ(name);
}

std::string QtUi::browseForFolder(const std::string& prompt) {
    const QString folder = QFileDialog::getExistingDirectory(
        nullptr, toQ(prompt), QString(),
        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    return fromQ(folder);
}

std::string QtUi::clipboardText() {
    return fromQ(QGuiApplication::clipboard()->text());
}

void QtUi::setClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(toQ(text), QClipboard::Clipboard);
}

void QtUi::processPendingEvents() {
    QCoreApplication::processEvents();
}

void QtUi::post(std::function<void()> call) {
    QTimer::singleShot(0, qApp, std::move(call));
}

void QtUi::postFromThread(std::function<void()> call) {
    QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection);
}

void QtUi::showModal(Form& form) {
    QtDialog dialog(form, parentWindow(), scale());
    form.setVisible(true);
    dialog.run();
    form.setVisible(false);
}

void QtUi::popupMenu(MenuItem& item) {
    QMenu menu;
    menu.setObjectName(toQ(item.name()));
    fillMenu(menu, item);
    menu.exec(QCursor::pos());
}

bool QtUi::modalShown() {
    return QApplication::activeModalWidget() != nullptr;
}

void QtUi::activate(Form&) {
    if (!mainWindow_) {
        return;
    }
    mainWindow_->setWindowState(mainWindow_->windowState() & ~Qt::WindowMinimized);
    mainWindow_->show();
    mainWindow_->raise();
    mainWindow_->activateWindow();
}

void QtUi::endProgram() {
    QCoreApplication::exit(0);
}

std::string QtUi::thousandsSeparator() {
    return fromQ(QLocale().groupSeparator());
}

}  // namespace tandu::qt
