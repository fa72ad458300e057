#include "window/HandedAddress.h"

#include "dialogs/frmURL.h"
#include "window/frmMain.h"
#include "window/modMain.h"

namespace tandu {

void HandedAddress::receive(frmMain& main, const std::string& address) {
    UiServices& ui = main.app().platform().ui;
    ui.setClipboardText(address);
    // A dialog already open would be stacked over; the address waits on the clipboard.
    if (ui.modalShown()) {
        return;
    }
    frmURL dialog(main.dialogContext());
    dialog.Form_Load();
    dialog.txtLink.setText(address);
    ui.showModal(dialog);
}

}  // namespace tandu
