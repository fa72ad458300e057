#include "dialogs/frmList.h"

#include "controls/CommonDialog.h"
#include "controls/EventPacer.h"
#include "platform/Platform.h"
#include "services/AddService.h"
#include "storage/TextFile.h"

namespace tandu {

frmList::frmList(DialogContext context) : AddDialog("frmList", context) {
    setCaption("Add URL List");
    setGeometry(0, 0, 7200, 6480);

    fraList.setCaption("URL Listing");
    fraList.setGeometry(120, 60, 6960, 5760);
    for (Control* inside :
         std::initializer_list<Control*>{&lblList, &txtFile, &cmbFile, &txtList, &lblSave, &txtSave,
                                         &cmbPath, &chkDefault, &lblConnections, &cboConnections}) {
        inside->setContainer(fraList);
    }
    lblList.setCaption("Open a file containing the list of URLs or paste at the space below");
    lblList.wordWrap = true;
    lblList.setGeometry(240, 330, 6480, 480);
    txtFile.setGeometry(240, 870, 5880, 345);
    cmbFile.setCaption("...");
    cmbFile.setGeometry(6180, 855, 540, 375);
    txtList.setMultiLine(true);
    txtList.setGeometry(240, 1335, 6480, 2700);
    lblSave.setCaption("Save to:");
    lblSave.setGeometry(240, 4155, 3000, 255);
    txtSave.setGeometry(240, 4425, 5880, 345);
    cmbPath.setGeometry(6180, 4410, 540, 375);
    chkDefault.setGeometry(240, 4860, 3000, 285);
    lblConnections.setCaption("Number of connections:");
    lblConnections.setGeometry(240, 5310, 2640, 255);
    cboConnections.setGeometry(2940, 5265, 900, 345);
    cmbOK.setGeometry(4560, 5970, 1200, 375);
    cmbCancel.setGeometry(5880, 5970, 1200, 375);

    add(fraList, lblList, txtFile, cmbFile, txtList, lblSave, txtSave, cmbPath, chkDefault,
        lblConnections, cboConnections, cmbOK, cmbCancel);
    cmbFile.onClick = [this] { cmbFile_Click(); };
    cmbOK.onClick = [this] { cmbOK_Click(); };
}

void frmList::Form_Load() {
    loadDefaults(true);
}

void frmList::appendLines(const std::vector<std::string>& lines) {
    std::string text = txtList.text();
    for (const std::string& line : lines) {
        text += textfile::trim(line);
        text += "\r\n";
    }
    txtList.setText(text);
}

void frmList::cmbFile_Click() {
    // The dialog is shared with the extension installer: its browser filter must not stay.
    CommonDialog& cmd = context_.cmd;
    cmd.filter.clear();
    cmd.dialogTitle.clear();
    context_.platform.ui.showOpen(cmd);
    txtFile.setText(cmd.fileName);
    if (cmd.fileName.empty()) {
        return;
    }
    std::string reason;
    const auto lines = textfile::readLines(cmd.fileName, textfile::kListLimit, &reason);
    if (!lines) {
        show({"The list file " + cmd.fileName + " cannot be read: " + reason + ".", "Error",
              MsgIcon::Critical});
        return;
    }
    appendLines(*lines);
}

void frmList::cmbOK_Click() {
    if (adding()) {
        return;
    }
    AddService::Outcome outcome;
    const int before = rowCount();
    {
        AddingScope scope(*this);
        EventPacer pacer(context_.platform.ui);
        outcome = AddService(context_.app)
                      .addList(txtList.text(), destination(), cboConnections.text(),
                               [&pacer] { pacer.step(); });
    }
    startAdded(before);
    if (outcome.keptList) {
        txtList.setText(*outcome.keptList);
    }
    if (outcome.message) {
        show(*outcome.message);
        return;
    }
    unload();
}

}  // namespace tandu
