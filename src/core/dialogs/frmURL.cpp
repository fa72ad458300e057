#include "dialogs/frmURL.h"

#include "platform/Platform.h"
#include "services/AddService.h"

namespace tandu {

frmURL::frmURL(DialogContext context) : AddDialog("frmURL", context) {
    setCaption("Add URL to Download");
    setGeometry(0, 0, 6960, 4080);

    fraURL.setCaption("URL");
    fraURL.setGeometry(120, 60, 6720, 3360);
    for (Control* inside : std::initializer_list<Control*>{
             &lblLink, &txtLink, &lblSave, &txtSave, &cmbPath, &chkDefault, &lblConnections,
             &cboConnections, &lblChecksum, &txtChecksum}) {
        inside->setContainer(fraURL);
    }
    lblLink.setCaption("File link:");
    lblLink.setGeometry(240, 330, 3000, 255);
    txtLink.setGeometry(240, 600, 6240, 345);
    lblSave.setCaption("Save to:");
    lblSave.setGeometry(240, 1050, 3000, 255);
    txtSave.setGeometry(240, 1320, 5640, 345);
    cmbPath.setGeometry(5940, 1305, 540, 375);
    chkDefault.setGeometry(240, 1755, 3000, 285);
    lblConnections.setCaption("Number of connections:");
    lblConnections.setGeometry(240, 2205, 2640, 255);
    cboConnections.setGeometry(2940, 2160, 900, 345);
    lblChecksum.setCaption("Checksum (optional, e.g. sha256=9f86d081...):");
    lblChecksum.setGeometry(240, 2625, 6240, 255);
    txtChecksum.setGeometry(240, 2895, 6240, 345);
    cmbOK.setGeometry(4320, 3570, 1200, 375);
    cmbCancel.setGeometry(5640, 3570, 1200, 375);

    add(fraURL, lblLink, txtLink, lblSave, txtSave, cmbPath, chkDefault, lblConnections,
        cboConnections, lblChecksum, txtChecksum, cmbOK, cmbCancel);
    cmbOK.onClick = [this] { cmbOK_Click(); };
}

void frmURL::Form_Load() {
    loadDefaults(false);
    const std::string clipboard = context_.platform.ui.clipboardText();
    if (clipboard.starts_with("http://") || clipboard.starts_with("https://") ||
        clipboard.starts_with("www")) {
        txtLink.setText(clipboard);
    }
}

void frmURL::handOver(const HandOffMessage& link) {
    link_ = link;
    txtLink.setText(link.url);
}

void frmURL::cmbOK_Click() {
    if (adding()) {
        return;
    }
    const int before = rowCount();
    const HandOffMessage* link = link_ && link_->url == txtLink.text() ? &*link_ : nullptr;
    const auto outcome =
        AddService(context_.app)
            .addUrl(txtLink.text(), destination(), cboConnections.text(), link, txtChecksum.text());
    startAdded(before);
    if (outcome.message) {
        show(*outcome.message);
        return;
    }
    unload();
}

}  // namespace tandu
