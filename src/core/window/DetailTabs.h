#pragma once

namespace tandu {

class frmMain;

// Shows the page of the tab selected in the main window's tab strip, alone.
void ShowDetailPage(frmMain& form);

}  // namespace tandu
