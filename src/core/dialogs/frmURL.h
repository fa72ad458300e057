#pragma once

#include "dialogs/AddDialog.h"
#include "controls/Frame.h"
#include "controls/Label.h"

namespace tandu {

// Add URL: one download by its link.
class frmURL : public AddDialog {
public:
    explicit frmURL(DialogContext context);

    Frame fraURL{"fraURL"};
    Label lblLink{"lblLink"};
    TextBox txtLink{"txtLink"};
    Label lblSave{"lblSave"};
    Label lblConnections{"lblConnections"};
    Label lblChecksum{"lblChecksum"};
    TextBox txtChecksum{"txtChecksum"};

    // Defaults from the settings file, then a link taken from the clipboard.
    void Form_Load();
    void cmbOK_Click();
};

}  // namespace tandu
