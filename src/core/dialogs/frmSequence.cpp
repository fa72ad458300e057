#include "dialogs/frmSequence.h"

#include "storage/TextFile.h"
#include "dialogs/AddSteps.h"
#include "services/DownloadAdder.h"
#include "services/SequenceNumbers.h"
#include "window/frmMain.h"
#include "window/modMain.h"

namespace tandu {

namespace {
std::optional<int> boxNumber(const TextBox& box) {
    const auto value = sequence::readNumber(box.text());
    return value ? sequence::toInteger16(*value) : std::nullopt;
}
}  // namespace

frmSequence::frmSequence(frmMain& main) : AddDialog("frmSequence", main) {
    setCaption("Add URL Sequence");
    setGeometry(0, 0, 7200, 4500);

    fraSequence.setCaption("URL Sequence");
    fraSequence.setGeometry(120, 60, 6960, 3780);
    for (Control* inside : std::initializer_list<Control*>{
             &lblURL, &txtURL, &lblExample, &lblStart, &txtStart, &lblEnd, &txtEnd, &lblDigits,
             &txtDigits, &lblSave, &txtSave, &cmbPath, &chkDefault, &lblConnections,
             &cboConnections}) {
        inside->setContainer(fraSequence);
    }
    lblURL.setCaption(
        "Type the URL on the textbox below. Add '#' where the program should replace for "
        "numbers.");
    lblURL.wordWrap = true;
    lblURL.setGeometry(240, 330, 6480, 480);
    txtURL.setGeometry(240, 855, 6480, 345);
    lblExample.setCaption("Example: http://www.example.com/files/sequence#.zip");
    lblExample.setGeometry(240, 1260, 6480, 255);
    lblStart.setCaption("Start:");
    lblStart.setGeometry(240, 1740, 660, 255);
    txtStart.setText("0");
    txtStart.setGeometry(900, 1695, 1080, 345);
    lblEnd.setCaption("End:");
    lblEnd.setGeometry(2280, 1740, 600, 255);
    txtEnd.setText("10");
    txtEnd.setGeometry(2880, 1695, 1080, 345);
    lblDigits.setCaption("Digits:");
    lblDigits.setGeometry(4260, 1740, 780, 255);
    txtDigits.setText("1");
    txtDigits.setGeometry(5040, 1695, 720, 345);
    lblSave.setCaption("Save to:");
    lblSave.setGeometry(240, 2175, 3000, 255);
    txtSave.setGeometry(240, 2445, 5880, 345);
    cmbPath.setGeometry(6180, 2430, 540, 375);
    chkDefault.setGeometry(240, 2880, 3000, 285);
    lblConnections.setCaption("Number of connections:");
    lblConnections.setGeometry(240, 3330, 2640, 255);
    cboConnections.setGeometry(2940, 3285, 900, 345);
    cmbOK.setGeometry(4560, 3990, 1200, 375);
    cmbCancel.setGeometry(5880, 3990, 1200, 375);

    add(fraSequence, lblURL, txtURL, lblExample, lblStart, txtStart, lblEnd, txtEnd, lblDigits,
        txtDigits, lblSave, txtSave, cmbPath, chkDefault, lblConnections, cboConnections, cmbOK,
        cmbCancel);
    txtStart.onLostFocus = [this] { txtStart_LostFocus(); };
    txtEnd.onLostFocus = [this] { txtEnd_LostFocus(); };
    txtDigits.onLostFocus = [this] { txtDigits_LostFocus(); };
    cmbOK.onClick = [this] { cmbOK_Click(); };
}

void frmSequence::Form_Load() {
    loadDefaults(true);
}

void frmSequence::txtStart_LostFocus() {
    if (!sequence::readNumber(txtStart.text())) {
        txtStart.setText("0");
    }
}

void frmSequence::txtEnd_LostFocus() {
    if (!sequence::readNumber(txtEnd.text())) {
        txtEnd.setText("0");
    }
}

void frmSequence::showInvalidDigits() {
    main_.app().platform().ui.messageBox(
        "Invalid number. Use 1 for no fixed digits or more fore fixed.", "Invalid",
        MsgIcon::Critical);
}

void frmSequence::txtDigits_LostFocus() {
    const auto digits = sequence::readNumber(txtDigits.text());
    if (!digits) {
        txtDigits.setText("1");
    } else if (*digits <= 0) {
        showInvalidDigits();
        txtDigits.setText("1");
    }
}

void frmSequence::cmbOK_Click() {
    if (adding()) {
        return;
    }
    // OK can come without the boxes losing the focus (Enter): unreadable or
    // oversized numbers are refused here rather than wrapped or looped over.
    const auto start = boxNumber(txtStart);
    const auto end = boxNumber(txtEnd);
    if (!start || !end) {
        main_.app().platform().ui.messageBox("Start and End must be numbers from -32768 to 32767.",
                                             "Invalid", MsgIcon::Critical);
        return;
    }
    const int first = *start;
    const int last = *end;
    const auto digits = sequence::readNumber(txtDigits.text());
    if (!digits || !sequence::toInteger16(*digits)) {
        showInvalidDigits();
        txtDigits.setText("1");
        return;
    }
    if (first > last) {
        showError("The start number must be less than the finish number.");
        return;
    }
    const std::string pattern = txtURL.text();
    if (pattern.empty() || textfile::hasControlCharacter(pattern)) {
        showInvalidUrl();
        return;
    }
    const auto folder = validDestination();
    if (!folder) {
        return;
    }

    std::string failure;
    {
        AddingScope scope(*this);
        DownloadAdder adder(main_);
        for (int n = first; n <= last; ++n) {
            const std::string url =
                sequence::replaceHashes(pattern, sequence::numberText(n, *digits));
            if (!adder.add(url, *folder, cboConnections.text())) {
                failure = adder.failureMessage();
                if (adder.added() > 0) {
                    txtStart.setText(std::to_string(n));  // OK again goes on from here
                }
                break;
            }
            adder.keepWindowPainting();
        }
    }
    if (!failure.empty()) {
        showError(failure);
        return;
    }
    unload();
}

}  // namespace tandu
