#pragma once

#include "controls/Button.h"
#include "controls/Form.h"
#include "controls/Frame.h"
#include "controls/Label.h"
#include "controls/Picture.h"
#include "controls/TextBox.h"

namespace tandu {

// The About box: the program's name, version and credits.
class frmAbout : public Form {
public:
    static constexpr const char* kCaption = "About Tandu Download Manager";
    static constexpr const char* kWebAddress = "http://tandu.example.org/";

    frmAbout();

    Picture imgAbout{"imgAbout"};
    Frame fraInfo{"fraInfo"};
    Label lblName{"lblName"};
    Label lblVersion{"lblVersion"};
    Label lblAuthor{"lblAuthor"};
    Label lblArt{"lblArt"};
    Label lblExtension{"lblExtension"};
    TextBox txtWeb{"txtWeb"};
    Button cmbO{"cmbO"};

    void cmbO_Click();
};

}  // namespace tandu
