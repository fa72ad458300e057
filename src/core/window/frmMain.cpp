#include "window/frmMain.h"

#include <cmath>

#include "controls/EventPacer.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmList.h"
#include "dialogs/frmPreferences.h"
#include "dialogs/frmSequence.h"
#include "dialogs/frmURL.h"
#include "services/Application.h"
#include "services/ListExport.h"
#include "storage/FileNames.h"
#include "tools/CheckUrlTool.h"
#include "transfer/DownloadQueue.h"
#include "transfer/DriveLoop.h"
#include "window/DetailTabs.h"
#include "window/HandedAddress.h"
#include "window/PictureButtons.h"
#include "window/RowMenu.h"
#include "window/TrayIconOps.h"
#include "window/modMain.h"

namespace tandu {

namespace {

constexpr int kListLeft = 1980;
constexpr int kListTop = 240;
constexpr int kListWidth = 8040;
constexpr int kButtonWidth = 1920;
constexpr int kButtonHeight = 375;
constexpr int kButtonGap = 120;
constexpr int kPictureWidth = 1695;  // 113 pixels at 96 DPI
constexpr int kPictureHeight = 915;  // 61 pixels at 96 DPI
constexpr int kPictureStep = 960;
constexpr int kPageWidth = 7560;
constexpr int kLabelHeight = 225;

}  // namespace

frmMain::frmMain(modMain& app)
    : Form("frmMain"),
      app_(app),
      application_(app.application()),
      messages_(app.platform().ui),
      pictureButtons_(std::make_unique<PictureButtons>(imgBtn, imgBtnO, imgBtnC)),
      rowMenu_(std::make_unique<RowMenu>(*this)) {
    createControls();
    createMenus();
    wireEvents();
    downloads().setObserver(this);
    DownloadQueue& queue = application_.queue();
    queue.allMode = [this] { return menAll.checked(); };
    queue.onPicked = [this](Download& download) {
        lstDown.select(downloads().indexOf(download));
    };
    queue.onFinished = [this](const std::string& heldName) { queueFinished(heldName); };
    tray_ = std::make_unique<TrayIconOps>(*this);
    handed_ = std::make_unique<HandedAddress>(*this);
    checkTool_ = std::make_unique<CheckUrlTool>(app.platform().ui, app.platform().fetcher,
                                                messages_);
}

frmMain::~frmMain() {
    downloads().setObserver(nullptr);
    DownloadQueue& queue = application_.queue();
    queue.allMode = nullptr;
    queue.onPicked = nullptr;
    queue.onFinished = nullptr;
}

const NumberText& frmMain::numbers() const {
    return application_.numbers();
}

DownloadList& frmMain::downloads() {
    return application_.downloads();
}

DownloadQueue& frmMain::queue() {
    return application_.queue();
}

DialogContext frmMain::dialogContext() {
    return {app_.platform(), application_, cmd, app_.FirstRun};
}

void frmMain::createControls() {
    setCaption(kMainCaption);
    setGeometry(0, 0, kFormWidth, kFormHeight);

    for (int i = 0; i < kPictureCount; ++i) {
        const int top = 60 + i * kPictureStep;
        const std::string face = std::to_string(i);
        imgBtn[i].setGeometry(kPictureLeft, top, kPictureWidth, kPictureHeight);
        imgBtn[i].setImage("normal" + face);
        imgBtnO[i].setGeometry(kPictureLeft, top, kPictureWidth, kPictureHeight);
        imgBtnO[i].setImage("hover" + face);
        imgBtnO[i].setVisible(false);
        imgBtnC[i].setGeometry(kPictureLeft, top, kPictureWidth, kPictureHeight);
        imgBtnC[i].setImage("pressed" + face);
        imgBtnC[i].setVisible(false);
    }

    Frame1.setCaption("Downloads");
    Frame1.setGeometry(1860, 0, 8280, 4920);

    lstDown.setGeometry(kListLeft, kListTop, kListWidth, kIdleListHeight);
    lstDown.addColumn("File", 2340);
    lstDown.addColumn("Speed", 1140);
    lstDown.addColumn("State", 1500);
    lstDown.addColumn("Size", 2040);
    lstDown.addColumn("ETA", 900);

    Button* buttons[] = {&cmbDownSel, &cmbPause, &cmbCancel, &cmbClear};
    const char* captions[] = {"Download", "Pause Download", "Cancel Download", "Clear Completed"};
    for (int i = 0; i < 4; ++i) {
        buttons[i]->setCaption(captions[i]);
        buttons[i]->setGeometry(kListLeft + i * (kButtonWidth + kButtonGap), kIdleButtonTop,
                                kButtonWidth, kButtonHeight);
        buttons[i]->setEnabled(false);
    }

    Tabs.setGeometry(kListLeft, 2280, kListWidth, 2520);
    Tabs.addTab("General");
    Tabs.addTab("Pieces");
    Tabs.addTab("Buffer");

    pb.setGeometry(kPageLeft, kPageTop, kPageWidth, 255);
    fraGen.setCaption("");
    fraGen.setGeometry(kPageLeft, 3240, kPageWidth, 1320);
    struct Row {
        Label* caption;
        const char* text;
        Label* value;
        int left, top, captionWidth, valueWidth;
    };
    const Row general[] = {
        {&lblCapURL, "URL:", &lblURL, 120, 240, 1080, 6240},
        {&lblCapSave, "Save to:", &lblSave, 120, 540, 1080, 6240},
        {&lblCapSize, "Size:", &lblSize, 120, 840, 1080, 1320},
        {&lblCapDownloaded, "Downloaded:", &lblDownloaded, 2640, 840, 1380, 1200},
        {&lblCapPieces, "Pieces:", &lblPieces, 5280, 840, 840, 1200},
        {&lblCapLimit, "Limit:", &lblLimit, 120, 1080, 1080, 6240},
    };
    for (const Row& row : general) {
        row.caption->setContainer(fraGen);
        row.value->setContainer(fraGen);
        row.caption->setCaption(row.text);
        row.caption->setGeometry(row.left, row.top, row.captionWidth, kLabelHeight);
        row.value->setGeometry(row.left + row.captionWidth, row.top, row.valueWidth, kLabelHeight);
    }

    lblCapLimit.setVisible(false);
    lblLimit.setVisible(false);

    lstPieces.setGeometry(kPageLeft, kPageTop, kPageWidth, 1680);
    lstPieces.addColumn("Piece", 1800);
    lstPieces.addColumn("Size", 2400);
    lstPieces.addColumn("Speed", 1500);
    lstPieces.addColumn("ETA", 1500);

    pbBuffer.setGeometry(kPageLeft, kPageTop, kPageWidth, 255);
    fraBuf.setCaption("");
    fraBuf.setGeometry(kPageLeft, kBufferFrameTop, kPageWidth, 1260);
    const Row buffer[] = {
        {&lblCapBuffer, "Buffer/Connection:", &lblBuffer, 120, 240, 1920, 1560},
        {&lblCapConnBuf, "No. Connections:", &lblConnBuf, 120, 540, 1920, 1560},
        {&lblCapTotalBuf, "Total buffer:", &lblTotalBuf, 120, 840, 1920, 1560},
        {&lblCapUsedBuf, "Used buffer:", &lblUsedBuf, 3840, 240, 1440, 1560},
        {&lblCapPercentBuf, "%:", &lblPercentBuf, 3840, 540, 1440, 1560},
    };
    for (const Row& row : buffer) {
        row.caption->setContainer(fraBuf);
        row.value->setContainer(fraBuf);
        row.caption->setCaption(row.text);
        row.caption->setGeometry(row.left, row.top, row.captionWidth, kLabelHeight);
        row.value->setGeometry(row.left + row.captionWidth, row.top, row.valueWidth, kLabelHeight);
    }

    tmr.setInterval(static_cast<int>(DriveLoop::kTickInterval.count()));
    tmr.setEnabled(false);
    tmrBalance.setInterval(static_cast<int>(DriveLoop::kBalanceInterval.count()));
    tmrBalance.setEnabled(false);
    tmrHanded.setInterval(250);
    tmrHanded.setEnabled(false);

    add(Frame1, lstDown, cmbDownSel, cmbPause, cmbCancel, cmbClear, Tabs, pb, fraGen, lblCapURL,
        lblCapSave, lblCapSize, lblCapDownloaded, lblCapPieces, lblURL, lblSave, lblSize,
        lblDownloaded, lblPieces, lblCapLimit, lblLimit, lstPieces, pbBuffer, fraBuf, lblCapBuffer,
        lblCapConnBuf, lblCapTotalBuf, lblCapUsedBuf, lblCapPercentBuf, lblBuffer, lblConnBuf,
        lblTotalBuf, lblUsedBuf, lblPercentBuf, tmr, tmrBalance, tmrHanded, cmd);
    for (int i = 0; i < kPictureCount; ++i) {
        add(imgBtn[i], imgBtnO[i], imgBtnC[i]);
    }
}

void frmMain::createMenus() {
    struct Item {
        MenuItem* item;
        const char* caption;
    };
    const Item items[] = {
        {&menFile, "File"},
        {&menURL, "Download URL..."},
        {&menSeq, "Download Numeric Sequence..."},
        {&menList, "Download URL List..."},
        {&menSep1, "-"},
        {&menExport, "Export List..."},
        {&menSep2, "-"},
        {&menExit, "Exit"},
        {&menDownloads, "Downloads"},
        {&menAll, "Download all"},
        {&menOptions, "Options"},
        {&menPref, "Preferences..."},
        {&menSep4, "-"},
        {&menShut, "Shutdown when finished"},
        {&menCheck, "Check URL..."},
        {&menTray, "Send to Tray"},
        {&menHelp, "Help"},
        {&menAbout, "About..."},
        {&menPop, "Popup"},
        {&menRestore, "Restore"},
        {&menExitPop, "Exit"},
        {&menRow, "Row"},
        {&menRowDownload, "Download"},
        {&menRowPause, "Pause"},
        {&menRowCancel, "Cancel"},
        {&menRowSep1, "-"},
        {&menRowOpen, "Open"},
        {&menRowFolder, "Open folder"},
        {&menRowCopy, "Copy URL"},
        {&menRowSep2, "-"},
        {&menRowLimit, "Speed limit..."},
        {&menRowChecksum, "Checksum..."},
    };
    for (const Item& entry : items) {
        entry.item->setCaption(entry.caption);
        add(*entry.item);
    }
    for (MenuItem* item : {&menURL, &menSeq, &menList, &menSep1, &menExport, &menSep2, &menExit}) {
        menFile.addItem(*item);
    }
    menDownloads.addItem(menAll);
    for (MenuItem* item : {&menPref, &menSep4, &menShut, &menCheck}) {
        menOptions.addItem(*item);
    }
    menAll.setCheckable(true);
    menShut.setCheckable(true);
    menHelp.addItem(menAbout);
    menPop.addItem(menRestore);
    menPop.addItem(menExitPop);
    for (MenuItem* item : {&menRowDownload, &menRowPause, &menRowCancel, &menRowSep1, &menRowOpen,
                           &menRowFolder, &menRowCopy, &menRowSep2, &menRowLimit,
                           &menRowChecksum}) {
        menRow.addItem(*item);
    }
    // The tray's and a row's pop-ups are menus of the window that never show in the menu bar.
    menPop.setVisible(false);
    menRow.setVisible(false);
    for (MenuItem* menu :
         {&menFile, &menDownloads, &menOptions, &menTray, &menHelp, &menPop, &menRow}) {
        addMenu(*menu);
    }
}

void frmMain::wireEvents() {
    lstDown.onItemClick = [this] { lstDown_ItemClick(); };
    lstDown.onRowMenu = [this] { rowMenu_->popup(); };
    lstDown.onDoubleClick = [this] { rowMenu_->doubleClick(); };
    lstDown.onKeyDown = [this](ListView::Key key) { rowMenu_->keyDown(key); };
    menRowDownload.onClick = [this] { rowMenu_->download(); };
    menRowPause.onClick = [this] { rowMenu_->pause(); };
    menRowCancel.onClick = [this] { rowMenu_->cancel(); };
    menRowOpen.onClick = [this] { rowMenu_->open(); };
    menRowFolder.onClick = [this] { rowMenu_->openFolder(); };
    menRowCopy.onClick = [this] { rowMenu_->copyUrl(); };
    menRowLimit.onClick = [this] { rowMenu_->speedLimit(); };
    menRowChecksum.onClick = [this] { rowMenu_->checksum(); };
    cmbDownSel.onClick = [this] { cmbDownSel_Click(); };
    cmbPause.onClick = [this] { cmbPause_Click(); };
    cmbCancel.onClick = [this] { cmbCancel_Click(); };
    cmbClear.onClick = [this] { cmbClear_Click(); };
    Tabs.onClick = [this] { Tabs_Click(); };
    tmr.onTimer = [this] { tmr_Timer(); };
    tmrBalance.onTimer = [this] { tmrBalance_Timer(); };
    tmrHanded.onTimer = [this] { handed_->openWaiting(); };
    for (int i = 0; i < kPictureCount; ++i) {
        imgBtn[i].onMouseMove = [this, i] { imgBtn_MouseMove(i); };
        imgBtnO[i].onMouseDown = [this, i] { imgBtnO_MouseDown(i); };
        imgBtnO[i].onMouseUp = [this, i] { imgBtnO_MouseUp(i); };
    }
    onMouseMove = [this](int button, int shift, double x, double y) {
        Form_MouseMove(button, shift, x, y);
    };
    onCloseRequest = [this] { menExitPop_Click(); };
    menURL.onClick = [this] { menURL_Click(); };
    menSeq.onClick = [this] { menSeq_Click(); };
    menList.onClick = [this] { menList_Click(); };
    menExport.onClick = [this] { menExport_Click(); };
    menExit.onClick = [this] { menExit_Click(); };
    menAll.onClick = [this] { menAll_Click(); };
    menPref.onClick = [this] { menPref_Click(); };
    menShut.onClick = [this] { menShut_Click(); };
    menCheck.onClick = [this] { menCheck_Click(); };
    menTray.onClick = [this] { menTray_Click(); };
    menAbout.onClick = [this] { menAbout_Click(); };
    menRestore.onClick = [this] { menRestore_Click(); };
    menExitPop.onClick = [this] { menExitPop_Click(); };
}

// ---------------------------------------------------------------- lifecycle

void frmMain::Form_Load() {
    setHeight(kFormHeight);
    for (int i = 0; i < kPictureCount; ++i) {
        imgBtnO[i].setLeft(kPictureLeft);
        imgBtnC[i].setLeft(kPictureLeft);
    }
    HideAllTabs();
    Tabs.setVisible(false);
    applyIdleLayout();
    tray_->prepare();
    // First run: the settings dialog comes before anything else.
    if (!FileExists(app_.settingsPath())) {
        app_.FirstRun = true;
        frmPreferences preferences(dialogContext());
        preferences.Form_Load();
        app_.platform().ui.showModal(preferences);
    }

    // The window shows before the list fills, so the list paints while it fills.
    setVisible(true);
    EventPacer pacer(app_.platform().ui);
    application_.loadList([&pacer] { pacer.step(); });
    // Command-line URL: the Add URL dialog opens prefilled. The marker without
    // a URL still opens it, with whatever the clipboard offered.
    if (const auto url = modMain::urlFromCommandLine(app_.commandLine())) {
        if (url->empty()) {
            menURL_Click();
        } else {
            HandOffMessage link;
            link.url = *url;
            handed_->receive(std::move(link));
        }
    }
}

void frmMain::Form_Unload() {
    tray_->remove();
}

void frmMain::Form_MouseMove(int /*button*/, int /*shift*/, double x, double /*y*/) {
    pictureButtons_->resetToNormal();
    // A tray notification carries its mouse message in x, in pixels.
    tray_->notify(static_cast<int>(std::lround(x / app_.platform().ui.twipsPerPixelX())));
}

// ---------------------------------------------------------------- layouts

void frmMain::HideAllTabs() {
    lstPieces.setVisible(false);
    pb.setVisible(false);
    pbBuffer.setVisible(false);
    fraGen.setVisible(false);
    fraBuf.setVisible(false);
}

void frmMain::applyIdleLayout() {
    for (Button* button : {&cmbDownSel, &cmbPause, &cmbCancel, &cmbClear}) {
        button->setTop(kIdleButtonTop);
    }
    lstDown.setHeight(kIdleListHeight);
    Tabs.setVisible(false);
    HideAllTabs();
}

void frmMain::applyTransferLayout() {
    for (Button* button : {&cmbDownSel, &cmbPause, &cmbCancel, &cmbClear}) {
        button->setTop(kTransferButtonTop);
    }
    lstDown.setHeight(kTransferListHeight);
    Tabs.setVisible(true);
    pb.setVisible(true);
    fraGen.setVisible(true);
}

// ---------------------------------------------------------------- list and buttons

void frmMain::lstDown_ItemClick() {
    const int row = lstDown.selectedIndex();
    if (lstDown.rowCount() == 0 || row < 0) {
        return;
    }
    const Download& download = downloads().at(row);
    if (download.running() && &download != shown_) {
        showPages(download);
    }
    if (downloads().runningCount() > 0 && !download.running() &&
        downloads().runningCount() >= queue().limit()) {
        return;  // nothing more can start now: the buttons stay as they are
    }
    settleButtons();
}

void frmMain::cmbDownSel_Click() {
    const int row = lstDown.selectedIndex();
    Download* selected =
        row >= 0 && row < downloads().count() ? &downloads().at(row) : nullptr;
    if (const auto refusal = application_.start(selected, menAll.checked())) {
        messages_.show(*refusal);
    }
}

void frmMain::cmbPause_Click() {
    if (Download* download = activeDownload()) {
        download->pause();
    }
}

void frmMain::cmbCancel_Click() {
    const CancelOutcome outcome = application_.cancel(lstDown.selectedIndex());
    if (outcome.message) {
        messages_.show(*outcome.message);
    }
    disableButtonsWhenListEmpty();
}

void frmMain::cmbClear_Click() {
    if (lstDown.rowCount() == 0) {
        return;
    }
    application_.clearCompleted();
    disableButtonsWhenListEmpty();
}

void frmMain::setTimersEnabled(bool on) {
    tmr.setEnabled(on);
    tmrBalance.setEnabled(on);
}

void frmMain::disableButtonsWhenListEmpty() {
    if (lstDown.rowCount() == 0) {
        for (Button* button : {&cmbDownSel, &cmbPause, &cmbCancel, &cmbClear}) {
            button->setEnabled(false);
        }
    }
}

// ---------------------------------------------------------------- transfer events

void frmMain::tmr_Timer() {
    application_.drive().tick();
    showTrayTip();
}

void frmMain::tmrBalance_Timer() {
    application_.drive().balance();
}

// ---------------------------------------------------------------- chrome

void frmMain::Tabs_Click() {
    ShowDetailPage(*this);
}

void frmMain::imgBtn_MouseMove(int index) {
    pictureButtons_->hover(index);
}

void frmMain::imgBtnO_MouseDown(int index) {
    pictureButtons_->press(index);
}

void frmMain::imgBtnO_MouseUp(int index) {
    pictureButtons_->release(index);
    switch (index) {
        case 0:
            menURL_Click();
            break;
        case 1:
            menSeq_Click();
            break;
        case 2:
            menList_Click();
            break;
        case 3:
            menPref_Click();
            break;
        case 4:
            menCheck_Click();
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------- menus

void frmMain::menURL_Click() {
    frmURL dialog(dialogContext());
    dialog.Form_Load();
    app_.platform().ui.showModal(dialog);
}

void frmMain::menSeq_Click() {
    frmSequence dialog(dialogContext());
    dialog.Form_Load();
    app_.platform().ui.showModal(dialog);
}

void frmMain::menList_Click() {
    frmList dialog(dialogContext());
    dialog.Form_Load();
    app_.platform().ui.showModal(dialog);
}

void frmMain::menExport_Click() {
    // The export lets events run between files; one export at a time.
    if (exporting_) {
        return;
    }
    cmd.filter = "Text Files (*.TXT)|*.txt";
    app_.platform().ui.showSave(cmd);
    if (cmd.fileName.empty()) {
        return;
    }
    exporting_ = true;
    EventPacer pacer(app_.platform().ui);
    const ListExport::Outcome outcome =
        ListExport(downloads()).write(cmd.fileName, [&pacer] { pacer.step(); });
    exporting_ = false;
    if (outcome.message) {
        messages_.show(*outcome.message);
    }
}

void frmMain::menExit_Click() {
    menExitPop_Click();
}
void frmMain::menAll_Click() {
    menAll.setChecked(!menAll.checked());
}
void frmMain::menPref_Click() {
    frmPreferences dialog(dialogContext());
    dialog.Form_Load();
    app_.platform().ui.showModal(dialog);
}

void frmMain::menShut_Click() {
    menShut.setChecked(!menShut.checked());
}
void frmMain::menCheck_Click() {
    checkTool_->start();
}
void frmMain::menTray_Click() {
    tray_->sendToTray();
}
void frmMain::menAbout_Click() {
    frmAbout about;
    app_.platform().ui.showModal(about);
}
void frmMain::menRestore_Click() {
    tray_->restore();
}
void frmMain::menExitPop_Click() {
    unload();
    Form_Unload();
    app_.platform().ui.endProgram();
}

void frmMain::receiveHandOff(const std::optional<std::string>& message) {
    if (tray_->shown()) {
        menRestore_Click();
    } else {
        setWindowState(WindowState::Normal);
        setVisible(true);
    }
    app_.platform().ui.activate(*this);
    if (message) {
        handed_->receive(*message);
    }
}

}  // namespace tandu
