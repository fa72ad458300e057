#include "dialogs/AddDialog.h"

#include "storage/TextFile.h"
#include "dialogs/AddSteps.h"
#include "storage/SettingsFile.h"
#include "window/frmMain.h"
#include "window/modMain.h"

namespace tandu {

AddDialog::AddDialog(std::string name, frmMain& main) : Form(std::move(name)), main_(main) {
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
    const SettingsFile::Defaults settings = SettingsFile::defaults(main_.app().settingsPath());
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
    txtSave.setText(BrowseForFolder(main_.app().platform().ui, kBrowsePrompt));
}

void AddDialog::cmbCancel_Click() {
    if (!adding_) {
        unload();
    }
}

std::string AddDialog::destination() const {
    return WithTrailingSlash(chkDefault.checked() ? DefaultFolder : txtSave.text());
}

bool AddDialog::folderAccepted(const std::string& folder) {
    // A line break in the folder would split the definition file's lines.
    if (textfile::hasControlCharacter(folder) || !FolderIsValid(folder)) {
        main_.app().platform().ui.messageBox(kWrongFolderText, kWrongFolderTitle,
                                             MsgIcon::Critical);
        return false;
    }
    return true;
}

std::optional<std::string> AddDialog::validDestination() {
    std::string folder = destination();
    if (!folderAccepted(folder)) {
        return std::nullopt;
    }
    return folder;
}

void AddDialog::showInvalidUrl(const std::string& detail) {
    main_.app().platform().ui.messageBox(
        detail.empty() ? std::string(kInvalidUrlText) : kInvalidUrlText + ("\n" + detail),
        kInvalidUrlTitle, MsgIcon::Critical);
}

void AddDialog::showError(const std::string& text) {
    main_.app().platform().ui.messageBox(text, "Error", MsgIcon::Critical);
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
