#pragma once

#include <optional>
#include <string>

#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/ComboBox.h"
#include "controls/Form.h"
#include "controls/TextBox.h"
#include "dialogs/DialogContext.h"
#include "platform/UserMessage.h"

namespace tandu {

// What the three add dialogs share: the destination folder with its
// "Default location" check box and picker, the connections box, OK and Cancel.
class AddDialog : public Form {
public:
    TextBox txtSave{"txtSave"};
    Button cmbPath{"cmbPath"};
    CheckBox chkDefault{"chkDefault"};
    ComboBox cboConnections{"cboConnections"};
    Button cmbOK{"cmbOK"};
    Button cmbCancel{"cmbCancel"};

    // Line 3 of the settings file, read at opening.
    std::string DefaultFolder;

    void chkDefault_Click();
    void cmbPath_Click();
    void cmbCancel_Click();

    // True while OK is adding downloads (the window keeps painting meanwhile).
    bool adding() const { return adding_; }

protected:
    AddDialog(std::string name, DialogContext context);

    // Fills the connections box and takes the defaults from the settings file.
    // The check box starts enabled in the list and sequence dialogs only.
    void loadDefaults(bool checkBoxStartsEnabled);
    // Default folder or "Save to:", with its final "/".
    std::string destination() const;
    void show(const UserMessage& message);
    // Rows in the list now, before an add.
    int rowCount() const;
    // What OK added starts at once when the settings ask for it.
    void startAdded(int firstRow);

    // Blocks OK, Cancel and closing while downloads are added.
    class AddingScope {
    public:
        explicit AddingScope(AddDialog& dialog);
        ~AddingScope();
        AddingScope(const AddingScope&) = delete;
        AddingScope& operator=(const AddingScope&) = delete;

    private:
        AddDialog& dialog_;
        bool okEnabled_;
        bool cancelEnabled_;
    };

    DialogContext context_;

private:
    void showDefaultLocation(bool on);

    bool adding_ = false;
};

}  // namespace tandu
