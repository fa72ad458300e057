#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "controls/Button.h"
#include "controls/CommonDialog.h"
#include "controls/Form.h"
#include "controls/Frame.h"
#include "controls/Label.h"
#include "controls/ListView.h"
#include "controls/MenuItem.h"
#include "controls/MessageQueue.h"
#include "controls/Picture.h"
#include "controls/ProgressBar.h"
#include "controls/TabStrip.h"
#include "controls/Timer.h"
#include "dialogs/DialogContext.h"
#include "text/NumberText.h"
#include "transfer/DownloadList.h"

namespace tandu {

class Application;
class modMain;
class DownloadQueue;
class TrayIconOps;
class CheckUrlTool;
class PictureButtons;
class HandedAddress;
class RowMenu;

// The main window: the download list, the transfer pages, the picture buttons
// and the menus. Geometry is in twips, relative to the window's client area
// (below the menu bar); controls inside a frame are relative to the frame.
class frmMain : public Form, private DownloadListObserver {
public:
    static constexpr int kFormWidth = 10215;
    static constexpr int kFormHeight = 5655;
    static constexpr int kIdleButtonTop = 4140;
    static constexpr int kIdleListHeight = 3700;
    static constexpr int kTransferButtonTop = 1800;
    static constexpr int kTransferListHeight = 1395;
    static constexpr int kPageLeft = 2220;
    static constexpr int kPageTop = 2880;
    static constexpr int kBufferFrameTop = 3300;
    static constexpr int kPictureLeft = 60;
    static constexpr int kPictureCount = 5;

    explicit frmMain(modMain& app);
    ~frmMain() override;

    modMain& app() { return app_; }
    const NumberText& numbers() const;
    DownloadList& downloads();
    DownloadQueue& queue();
    TrayIconOps& tray() { return *tray_; }
    CheckUrlTool& checkTool() { return *checkTool_; }
    // What the dialogs opened from this window reach.
    DialogContext dialogContext();
    // Every message the window shows while downloads may run goes through here.
    MessageQueue& messages() { return messages_; }

    // --- controls ---
    Frame Frame1{"Frame1"};
    ListView lstDown{"lstDown"};
    Button cmbDownSel{"cmbDownSel"};
    Button cmbPause{"cmbPause"};
    Button cmbCancel{"cmbCancel"};
    Button cmbClear{"cmbClear"};

    TabStrip Tabs{"Tabs"};
    ProgressBar pb{"pb"};
    Frame fraGen{"fraGen"};
    Label lblCapURL{"lblCapURL"};
    Label lblCapSave{"lblCapSave"};
    Label lblCapSize{"lblCapSize"};
    Label lblCapDownloaded{"lblCapDownloaded"};
    Label lblCapPieces{"lblCapPieces"};
    Label lblURL{"lblURL"};
    Label lblSave{"lblSave"};
    Label lblSize{"lblSize"};
    Label lblDownloaded{"lblDownloaded"};
    Label lblPieces{"lblPieces"};
    // Shown while a speed limit applies to the download.
    Label lblCapLimit{"lblCapLimit"};
    Label lblLimit{"lblLimit"};

    ListView lstPieces{"lstPieces"};

    ProgressBar pbBuffer{"pbBuffer"};
    Frame fraBuf{"fraBuf"};
    Label lblCapBuffer{"lblCapBuffer"};
    Label lblCapConnBuf{"lblCapConnBuf"};
    Label lblCapTotalBuf{"lblCapTotalBuf"};
    Label lblCapUsedBuf{"lblCapUsedBuf"};
    Label lblCapPercentBuf{"lblCapPercentBuf"};
    Label lblBuffer{"lblBuffer"};
    Label lblConnBuf{"lblConnBuf"};
    Label lblTotalBuf{"lblTotalBuf"};
    Label lblUsedBuf{"lblUsedBuf"};
    Label lblPercentBuf{"lblPercentBuf"};

    Timer tmr{"tmr"};
    // Between the ticks: lets free connections help slow ones.
    Timer tmrBalance{"tmrBalance"};
    // While handed links wait behind another dialog.
    Timer tmrHanded{"tmrHanded"};
    CommonDialog cmd{"cmd"};

    std::array<Picture, kPictureCount> imgBtn{Picture{"imgBtn", 0}, Picture{"imgBtn", 1},
                                              Picture{"imgBtn", 2}, Picture{"imgBtn", 3},
                                              Picture{"imgBtn", 4}};
    std::array<Picture, kPictureCount> imgBtnO{Picture{"imgBtnO", 0}, Picture{"imgBtnO", 1},
                                               Picture{"imgBtnO", 2}, Picture{"imgBtnO", 3},
                                               Picture{"imgBtnO", 4}};
    std::array<Picture, kPictureCount> imgBtnC{Picture{"imgBtnC", 0}, Picture{"imgBtnC", 1},
                                               Picture{"imgBtnC", 2}, Picture{"imgBtnC", 3},
                                               Picture{"imgBtnC", 4}};

    // --- menus ---
    MenuItem menFile{"menFile"};
    MenuItem menURL{"menURL"};
    MenuItem menSeq{"menSeq"};
    MenuItem menList{"menList"};
    MenuItem menSep1{"menSep1"};
    MenuItem menExport{"menExport"};
    MenuItem menSep2{"menSep2"};
    MenuItem menExit{"menExit"};
    MenuItem menDownloads{"menDownloads"};
    MenuItem menAll{"menAll"};
    MenuItem menOptions{"menOptions"};
    MenuItem menPref{"menPref"};
    MenuItem menSep4{"menSep4"};
    MenuItem menShut{"menShut"};
    MenuItem menCheck{"menCheck"};
    MenuItem menTray{"menTray"};
    MenuItem menHelp{"menHelp"};
    MenuItem menAbout{"menAbout"};
    MenuItem menPop{"menPop"};
    MenuItem menRestore{"menRestore"};
    MenuItem menExitPop{"menExitPop"};
    // A row's own pop-up menu (right click); never on the menu bar.
    MenuItem menRow{"menRow"};
    MenuItem menRowDownload{"menRowDownload"};
    MenuItem menRowPause{"menRowPause"};
    MenuItem menRowCancel{"menRowCancel"};
    MenuItem menRowSep1{"menRowSep1"};
    MenuItem menRowOpen{"menRowOpen"};
    MenuItem menRowFolder{"menRowFolder"};
    MenuItem menRowCopy{"menRowCopy"};
    MenuItem menRowSep2{"menRowSep2"};
    MenuItem menRowLimit{"menRowLimit"};
    MenuItem menRowChecksum{"menRowChecksum"};

    // --- lifecycle ---
    void Form_Load();
    void Form_Unload();
    void Form_MouseMove(int button, int shift, double x, double y);

    // --- layouts ---
    void HideAllTabs();
    void applyIdleLayout();
    void applyTransferLayout();

    // --- download list and buttons ---
    void lstDown_ItemClick();
    void cmbDownSel_Click();
    void cmbPause_Click();
    void cmbCancel_Click();
    void cmbClear_Click();

    // --- transfer events ---
    void tmr_Timer();
    void tmrBalance_Timer();

    // --- chrome ---
    void Tabs_Click();
    void imgBtn_MouseMove(int index);
    void imgBtnO_MouseDown(int index);
    void imgBtnO_MouseUp(int index);

    // --- menus ---
    void menURL_Click();
    void menSeq_Click();
    void menList_Click();
    void menExport_Click();
    void menExit_Click();
    void menAll_Click();
    void menPref_Click();
    void menShut_Click();
    void menCheck_Click();
    void menTray_Click();
    void menAbout_Click();
    void menRestore_Click();
    void menExitPop_Click();

    // A link handed over (a HandOffMessage's JSON), or none: the window comes forward.
    void receiveHandOff(const std::optional<std::string>& message);
    HandedAddress& handed() { return *handed_; }

private:
    void createControls();
    void createMenus();
    void wireEvents();
    // With no row left the list's four buttons have nothing to act on.
    void disableButtonsWhenListEmpty();
    void setTimersEnabled(bool on);

    // --- what the downloads publish, shown (frmMainPresenter.cpp) ---
    void rowAdded(int row) override;
    void rowsRemoved(const std::vector<int>& rows) override;
    void downloadStarted(Download& download) override;
    void downloadChanged(Download& download) override;
    void downloadMessage(Download& download, const UserMessage& message) override;
    void downloadEnded(Download& download) override;
    void showRow(int row, const Download& download);
    // The General, Pieces and Buffer pages for this download.
    void showPages(const Download& download);
    void showFigures(const Download& download);
    void showTickFigures(const Download& download);
    void showCompletedPieces(const Download& download);
    void resetBufferPage();
    // The buttons for the selected row, with or without downloads running.
    void settleButtons();
    void lockButtons();
    void showTrayTip();
    // The General page's limit line for this download.
    void showLimit(const Download& download);
    void queueFinished(const std::string& heldName);
    // The running download the pause button and the pages act on.
    Download* activeDownload();

    modMain& app_;
    Application& application_;
    MessageQueue messages_;
    const Download* shown_ = nullptr;  // whose figures the pages hold
    std::unique_ptr<TrayIconOps> tray_;
    std::unique_ptr<CheckUrlTool> checkTool_;
    std::unique_ptr<PictureButtons> pictureButtons_;
    std::unique_ptr<HandedAddress> handed_;
    std::unique_ptr<RowMenu> rowMenu_;
    bool exporting_ = false;
};

}  // namespace tandu
