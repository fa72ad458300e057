#include "dialogs/frmPreferences.h"

#include "controls/CommonDialog.h"
#include "dialogs/AddSteps.h"
#include "platform/Platform.h"
#include "services/ExtensionSetup.h"
#include "services/SettingsService.h"
#include "storage/SettingsFile.h"

namespace tandu {

namespace {
constexpr const char* kBufferSizes[] = {"128KB",  "256KB",  "512KB", "1024KB",
                                        "2048KB", "4096KB", "8192KB"};
}

frmPreferences::frmPreferences(DialogContext context)
    : Form("frmPreferences"), context_(context) {
    setCaption("Preferences");
    setGeometry(0, 0, 7200, 6240);

    fraOptions.setCaption("Options");
    fraOptions.setGeometry(120, 60, 6960, 3360);
    for (Control* inside : std::initializer_list<Control*>{
             &lblConnections, &cboConnections, &lblPath, &txtPath, &cmbPath, &lblBuffer, &cboBuffer,
             &lblSimultaneous, &cboSimultaneous, &lblLimit, &cboLimit, &chkStartAtOnce}) {
        inside->setContainer(fraOptions);
    }
    lblConnections.setCaption("Default number of connections ( Min: 1 Max: 16 ) ");
    lblConnections.setGeometry(240, 375, 4440, 255);
    cboConnections.setGeometry(4800, 330, 900, 345);
    lblPath.setCaption("Default directory to save the files:");
    lblPath.setGeometry(240, 825, 4440, 255);
    txtPath.setGeometry(240, 1095, 5880, 345);
    cmbPath.setCaption("...");
    cmbPath.setGeometry(6180, 1080, 540, 375);
    lblBuffer.setCaption("Buffer Size ( for each connection ):");
    lblBuffer.setGeometry(240, 1635, 4440, 255);
    cboBuffer.setGeometry(4800, 1590, 1200, 345);
    lblSimultaneous.setCaption("Simultaneous downloads ( Min: 1 Max: 32 ):");
    lblSimultaneous.setGeometry(240, 2055, 4440, 255);
    cboSimultaneous.setGeometry(4800, 2010, 900, 345);
    lblLimit.setCaption("Speed limit for all downloads ( KB/s, 0: none ):");
    lblLimit.setGeometry(240, 2475, 4440, 255);
    cboLimit.setGeometry(4800, 2430, 1200, 345);
    chkStartAtOnce.setCaption("Start downloads as soon as they are added");
    chkStartAtOnce.setGeometry(240, 2895, 6480, 285);

    fraExt.setCaption("Browser Extension");
    fraExt.setGeometry(120, 3540, 6960, 2100);
    for (Control* inside : std::initializer_list<Control*>{&lblExtInfo, &lblExtWarning, &cmbExt}) {
        inside->setContainer(fraExt);
    }
    lblExtInfo.setCaption(
        "Adds \"Download with Tandu\" to the menu of links in Firefox and in Chromium, Chrome, "
        "Brave, Vivaldi, Edge and Opera. Its options can send the site's cookies along.");
    lblExtInfo.wordWrap = true;
    lblExtInfo.setGeometry(240, 240, 6480, 720);
    lblExtWarning.setCaption(
        "Choose the browser's program (it may stay open), then follow the steps shown.");
    lblExtWarning.wordWrap = true;
    lblExtWarning.setGeometry(240, 1020, 6480, 480);
    cmbExt.setCaption("Install Extension");
    cmbExt.setGeometry(240, 1560, 2160, 375);

    cmbOK.setCaption("OK");
    cmbOK.isDefault = true;
    cmbOK.setGeometry(4560, 5730, 1200, 375);
    cmbCancel.setCaption("Cancel");
    cmbCancel.isCancel = true;
    cmbCancel.setGeometry(5880, 5730, 1200, 375);

    add(fraOptions, lblConnections, cboConnections, lblPath, txtPath, cmbPath, lblBuffer, cboBuffer,
        lblSimultaneous, cboSimultaneous, lblLimit, cboLimit, chkStartAtOnce, fraExt, lblExtInfo,
        lblExtWarning, cmbExt, cmbOK, cmbCancel);

    cmbPath.onClick = [this] { cmbPath_Click(); };
    cmbOK.onClick = [this] { cmbOK_Click(); };
    cmbCancel.onClick = [this] { cmbCancel_Click(); };
    cmbExt.onClick = [this] { cmbExt_Click(); };
}

void frmPreferences::Form_Load() {
    cboConnections.clearItems();
    for (int i = 1; i <= 16; ++i) {
        cboConnections.addItem(std::to_string(i));
    }
    cboBuffer.clearItems();
    for (const char* size : kBufferSizes) {
        cboBuffer.addItem(size);
    }
    cboSimultaneous.clearItems();
    for (int i = 1; i <= SettingsFile::kMostSimultaneous; ++i) {
        cboSimultaneous.addItem(std::to_string(i));
    }
    cboLimit.clearItems();
    for (const char* kbps : {"0", "100", "500", "1000", "5000", "10000"}) {
        cboLimit.addItem(kbps);
    }
    const SettingsService::Preferences settings = SettingsService(context_.app).current();
    cboConnections.setText(settings.connections);
    txtPath.setText(settings.folder);
    cboBuffer.setText(settings.buffer);
    cboSimultaneous.setText(settings.simultaneous);
    cboLimit.setText(settings.limit);
    chkStartAtOnce.setChecked(settings.startAtOnce);
}

void frmPreferences::cmbPath_Click() {
    txtPath.setText(BrowseForFolder(context_.platform.ui, kBrowsePrompt));
}

void frmPreferences::cmbOK_Click() {
    const auto refusal = SettingsService(context_.app)
                             .save({cboConnections.text(), txtPath.text(), cboBuffer.text(),
                                    cboSimultaneous.text(), chkStartAtOnce.checked(),
                                    cboLimit.text()});
    if (refusal) {
        context_.platform.ui.show(*refusal);
        return;
    }
    unload();
}

void frmPreferences::cmbCancel_Click() {
    if (context_.firstRun) {
        context_.platform.ui.messageBox(
            "Its the first time that you use this program. You must configure this settings.",
            "Preferences", MsgIcon::Information);
        return;
    }
    unload();
}

void frmPreferences::cmbExt_Click() {
    CommonDialog& cmd = context_.cmd;
    cmd.filter = ExtensionSetup::kBrowserFilter;
    cmd.dialogTitle = ExtensionSetup::kPickerTitle;
    context_.platform.ui.showOpen(cmd);
    if (!cmd.fileName.empty()) {
        context_.platform.ui.show(ExtensionSetup(context_.app).install(cmd.fileName));
    }
}

}  // namespace tandu
