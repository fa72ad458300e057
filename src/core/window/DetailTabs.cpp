#include "window/DetailTabs.h"

#include "window/frmMain.h"

namespace tandu {

void ShowDetailPage(frmMain& form) {
    const std::string caption = form.Tabs.selectedCaption();
    form.HideAllTabs();
    if (caption == "General") {
        form.pb.setVisible(true);
        form.fraGen.setVisible(true);
    } else if (caption == "Pieces") {
        form.lstPieces.move(frmMain::kPageLeft, frmMain::kPageTop);
        form.lstPieces.setVisible(true);
    } else if (caption == "Buffer") {
        form.pbBuffer.move(frmMain::kPageLeft, frmMain::kPageTop);
        form.pbBuffer.setVisible(true);
        form.fraBuf.move(frmMain::kPageLeft, frmMain::kBufferFrameTop);
        form.fraBuf.setVisible(true);
    }
}

}  // namespace tandu
