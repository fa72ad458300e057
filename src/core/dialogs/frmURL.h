#pragma once

#include <optional>

#include "dialogs/AddDialog.h"
#include "storage/HandOffMessage.h"
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
    // A link handed over: its address in the box; its name and session go
    // with it unless the address is changed.
    void handOver(const HandOffMessage& link);
    void cmbOK_Click();

private:
    std::optional<HandOffMessage> link_;
};

}  // namespace tandu
