#pragma once

#include "dialogs/AddDialog.h"
#include "controls/Frame.h"
#include "controls/Label.h"

namespace tandu {

// Add URL Sequence: one download per number from start to end, "#" in the
// pattern replaced by the number.
class frmSequence : public AddDialog {
public:
    explicit frmSequence(DialogContext context);

    Frame fraSequence{"fraSequence"};
    Label lblURL{"lblURL"};
    TextBox txtURL{"txtURL"};
    Label lblExample{"lblExample"};
    Label lblStart{"lblStart"};
    TextBox txtStart{"txtStart"};
    Label lblEnd{"lblEnd"};
    TextBox txtEnd{"txtEnd"};
    Label lblDigits{"lblDigits"};
    TextBox txtDigits{"txtDigits"};
    Label lblSave{"lblSave"};
    Label lblConnections{"lblConnections"};

    void Form_Load();
    void txtStart_LostFocus();
    void txtEnd_LostFocus();
    void txtDigits_LostFocus();
    void cmbOK_Click();

private:
};

}  // namespace tandu
