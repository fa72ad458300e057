#pragma once

#include <string>
#include <vector>

#include "dialogs/AddDialog.h"
#include "controls/Frame.h"
#include "controls/Label.h"

namespace tandu {

// Add URL List: one download per non-blank line, typed, pasted or loaded from a file.
class frmList : public AddDialog {
public:
    explicit frmList(DialogContext context);

    Frame fraList{"fraList"};
    Label lblList{"lblList"};
    TextBox txtFile{"txtFile"};
    Button cmbFile{"cmbFile"};
    TextBox txtList{"txtList"};
    Label lblSave{"lblSave"};
    Label lblConnections{"lblConnections"};

    void Form_Load();
    void cmbFile_Click();
    void cmbOK_Click();

    // Appends lines to the list as loading a file does: each without
    // surrounding blanks, followed by CR LF.
    void appendLines(const std::vector<std::string>& lines);
};

}  // namespace tandu
