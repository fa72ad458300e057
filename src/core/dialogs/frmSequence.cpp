#include "dialogs/frmSequence.h"

#include "controls/EventPacer.h"
#include "platform/Platform.h"
#include "services/AddService.h"
#include "services/SequenceNumbers.h"

namespace tandu {

frmSequence::frmSequence(DialogContext context) : AddDialog("frmSequence", context) {
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
    txtStart.setText(sequence::startOrEndOnLeave(txtStart.text()));
}

void frmSequence::txtEnd_LostFocus() {
    txtEnd.setText(sequence::startOrEndOnLeave(txtEnd.text()));
}

void frmSequence::txtDigits_LostFocus() {
    const sequence::DigitsOnLeave left = sequence::digitsOnLeave(txtDigits.text());
    if (left.message) {
        show(*left.message);
    }
    txtDigits.setText(left.text);
}

void frmSequence::cmbOK_Click() {
    if (adding()) {
        return;
    }
    AddService::Outcome outcome;
    const int before = rowCount();
    {
        AddingScope scope(*this);
        EventPacer pacer(context_.platform.ui);
        outcome = AddService(context_.app)
                      .addSequence(txtURL.text(), txtStart.text(), txtEnd.text(), txtDigits.text(),
                                   destination(), cboConnections.text(),
                                   [&pacer] { pacer.step(); });
    }
    startAdded(before);
    if (outcome.digitsReset) {
        show(*outcome.message);
        txtDigits.setText("1");
        return;
    }
    if (outcome.nextStart) {
        txtStart.setText(std::to_string(*outcome.nextStart));
    }
    if (outcome.message) {
        show(*outcome.message);
        return;
    }
    unload();
}

}  // namespace tandu
