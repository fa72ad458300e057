#include "window/HandedAddress.h"

#include "dialogs/frmURL.h"
#include "window/frmMain.h"
#include "window/modMain.h"

namespace tandu {

void HandedAddress::receive(const std::string& json) {
    std::string error;
    if (auto message = HandOffMessage::parse(json, &error)) {
        receive(std::move(*message));
    } else {
        main_.messages().show({"A link handed to Tandu was not taken: " + error, "Add URL",
                               MsgIcon::Exclamation});
    }
}

void HandedAddress::receive(HandOffMessage message) {
    waiting_.push_back(std::move(message));
    openWaiting();
}

void HandedAddress::openWaiting() {
    UiServices& ui = main_.app().platform().ui;
    // A dialog already open would be stacked over: the link waits for it to close.
    while (!opening_ && !waiting_.empty() && !ui.modalShown()) {
        const HandOffMessage message = std::move(waiting_.front());
        waiting_.pop_front();
        opening_ = true;
        frmURL dialog(main_.dialogContext());
        dialog.Form_Load();
        dialog.handOver(message);
        ui.showModal(dialog);
        opening_ = false;
    }
    main_.tmrHanded.setEnabled(!waiting_.empty());
}

}  // namespace tandu
