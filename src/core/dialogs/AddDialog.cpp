#include "dialogs/AddDialog.h"

#include "dialogs/AddSteps.h"
#include "platform/Platform.h"
#include "services/AddService.h"
#include "services/Application.h"
#include "storage/SettingsFile.h"
#include "transfer/DownloadList.h"

namespace tandu {

AddDialog::AddDialog(std::string name, DialogContext context)
    : Form(std::move(name)), context_(context) {
    txtSave.setText("");
    cmbPath.setCaption("...");
    chkDefault.setCaption("Default location");
    chkDefault.setEnabled(false);
    cmbOK.setCaption("OK");
    cmbOK.isDefault = true;
    cmbCancel.setCaption("Cancel");
    cmbCancel.isCancel = true;

    chkDefault.onClick = [this] { chkDefault_Click(); };
    cmbPath.onClick = [this] { cmbPath_Click(); };
    cmbCancel.onClick = [this] { cmbCancel_Click(); };
    onCloseRequest = [this] {
        if (!adding_) {
            unload();
        }
    };
}

void AddDialog::loadDefaults(bool checkBoxStartsEnabled) {
    cboConnections.clearItems();
    for (int i = 1; i <= 16; ++i) {
        cboConnections.addItem(std::to_string(i));
    }
    chkDefault.setEnabled(checkBoxStartsEnabled);
    const SettingsFile::Defaults settings = SettingsFile::defaults(context_.app.settingsPath());
    cboConnections.setText(settings.connections);
    if (settings.fromFile) {
        DefaultFolder = settings.folder;
        chkDefault.setEnabled(true);
        chkDefault.setChecked(true);
        showDefaultLocation(true);
    }
}

void AddDialog::showDefaultLocation(bool on) {
    txtSave.setEnabled(!on);
    cmbPath.setEnabled(!on);
    txtSave.setBackColor(on ? Color::system(Color::kInactiveBorder) : Color::rgb(255, 255, 255));
}

void AddDialog::chkDefault_Click() {
    showDefaultLocation(chkDefault.checked());
}

void AddDialog::cmbPath_Click() {
    txtSave.setText(BrowseForFolder(context_.platform.ui, kBrowsePrompt));
}

void AddDialog::cmbCancel_Click() {
    if (!adding_) {
        unload();
    }
}

std::string AddDialog::destination() const {
    return WithTrailingSlash(chkDefault.checked() ? DefaultFolder : txtSave.text());
}

void AddDialog::show(const UserMessage& message) {
    context_.platform.ui.show(message);
}

int AddDialog::rowCount() const {
    return context_.app.downloads().count();
}

void AddDialog::startAdded(int firstRow) {
    context_.app.startAdded(firstRow);
}

AddDialog::AddingScope::AddingScope(AddDialog& dialog)
    : dialog_(dialog),
      okEnabled_(dialog.cmbOK.enabled()),
      cancelEnabled_(dialog.cmbCancel.enabled()) {
    dialog_.adding_ = true;
    dialog_.cmbOK.setEnabled(false);
    dialog_.cmbCancel.setEnabled(false);
}

AddDialog::AddingScope::~AddingScope() {
    dialog_.cmbOK.setEnabled(okEnabled_);
    dialog_.cmbCancel.setEnabled(cancelEnabled_);
    dialog_.adding_ = false;
}

}  // namespace tandu
