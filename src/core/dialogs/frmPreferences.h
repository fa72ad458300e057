#pragma once

#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/ComboBox.h"
#include "controls/Form.h"
#include "controls/Frame.h"
#include "controls/Label.h"
#include "controls/TextBox.h"
#include "dialogs/DialogContext.h"

namespace tandu {

// Preferences: the values of config.cfg, and the browser extension installer.
class frmPreferences : public Form {
public:
    explicit frmPreferences(DialogContext context);

    Frame fraOptions{"fraOptions"};
    Label lblConnections{"lblConnections"};
    ComboBox cboConnections{"cboConnections"};
    Label lblPath{"lblPath"};
    TextBox txtPath{"txtPath"};
    Button cmbPath{"cmbPath"};
    Label lblBuffer{"lblBuffer"};
    ComboBox cboBuffer{"cboBuffer"};
    Label lblSimultaneous{"lblSimultaneous"};
    ComboBox cboSimultaneous{"cboSimultaneous"};
    Label lblLimit{"lblLimit"};
    ComboBox cboLimit{"cboLimit"};
    CheckBox chkStartAtOnce{"chkStartAtOnce"};
    Frame fraExt{"fraExt"};
    Label lblExtInfo{"lblExtInfo"};
    Label lblExtWarning{"lblExtWarning"};
    Button cmbExt{"cmbExt"};
    Button cmbOK{"cmbOK"};
    Button cmbCancel{"cmbCancel"};

    void Form_Load();
    void cmbPath_Click();
    void cmbOK_Click();
    void cmbCancel_Click();
    void cmbExt_Click();

private:
    DialogContext context_;
};

}  // namespace tandu
