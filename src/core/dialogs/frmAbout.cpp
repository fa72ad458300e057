#include "dialogs/frmAbout.h"

namespace tandu {

frmAbout::frmAbout() : Form("frmAbout") {
    setCaption(kCaption);
    setGeometry(0, 0, 6480, 3360);

    imgAbout.setImage("about");
    imgAbout.setGeometry(240, 360, 1200, 1200);

    fraInfo.setCaption("Info");
    fraInfo.setGeometry(1680, 120, 4560, 2520);
    struct Line {
        Label* label;
        const char* caption;
        int top;
    };
    const Line lines[] = {
        {&lblName, "Tandu Download Manager", 300},
        {&lblVersion, "Version: 1.0 Beta", 600},
        {&lblAuthor, "Program: written by the Tandu developers", 1000},
        {&lblArt, "Icons and pictures: drawn for Tandu", 1270},
        {&lblExtension, "Browser extension: the Tandu developers", 1540},
    };
    for (const Line& line : lines) {
        line.label->setContainer(fraInfo);
        line.label->setCaption(line.caption);
        line.label->setGeometry(180, line.top, 4200, 255);
    }
    txtWeb.setContainer(fraInfo);
    txtWeb.setText(kWebAddress);
    txtWeb.setLocked(true);
    txtWeb.setGeometry(180, 1980, 4200, 315);

    cmbO.setCaption("OK");
    cmbO.isDefault = true;
    cmbO.isCancel = true;
    cmbO.setGeometry(4920, 2790, 1320, 375);
    cmbO.onClick = [this] { cmbO_Click(); };

    add(imgAbout, fraInfo, lblName, lblVersion, lblAuthor, lblArt, lblExtension, txtWeb, cmbO);
}

void frmAbout::cmbO_Click() {
    unload();
}

}  // namespace tandu
