#include "dialogs/frmList.h"

#include "storage/TextFile.h"
#include "dialogs/AddSteps.h"
#include "services/DownloadAdder.h"
#include "window/frmMain.h"
#include "window/modMain.h"

namespace tandu {

namespace {

// A typed or pasted list may end its lines with CR LF, LF or a lone CR.
std::vector<std::string_view> listLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// The text with every line end as CR LF, the way the list's files keep them.
std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string lineNumbers(const std::vector<std::size_t>& numbers) {
    constexpr std::size_t kShown = 20;
    std::string text;
    for (std::size_t i = 0; i < numbers.size() && i < kShown; ++i) {
        text += (i ? ", " : "") + std::to_string(numbers[i]);
    }
    if (numbers.size() > kShown) {
        text += ", ...";
    }
    return text;
}

}  // namespace

frmList::frmList(frmMain& main) : AddDialog("frmList", main) {
    setCaption("Add URL List");
    setGeometry(0, 0, 7200, 6480);

    fraList.setCaption("URL Listing");
    fraList.setGeometry(120, 60, 6960, 5760);
    for (Control* inside :
         std::initializer_list<Control*>{&lblList, &txtFile, &cmbFile, &txtList, &lblSave, &txtSave,
                                         &cmbPath, &chkDefault, &lblConnections, &cboConnections}) {
        inside->setContainer(fraList);
    }
    lblList.setCaption("Open a file containing the list of URLs or paste at the space below");
    lblList.wordWrap = true;
    lblList.setGeometry(240, 330, 6480, 480);
    txtFile.setGeometry(240, 870, 5880, 345);
    cmbFile.setCaption("...");
    cmbFile.setGeometry(6180, 855, 540, 375);
    txtList.setMultiLine(true);
    txtList.setGeometry(240, 1335, 6480, 2700);
    lblSave.setCaption("Save to:");
    lblSave.setGeometry(240, 4155, 3000, 255);
    txtSave.setGeometry(240, 4425, 5880, 345);
    cmbPath.setGeometry(6180, 4410, 540, 375);
    chkDefault.setGeometry(240, 4860, 3000, 285);
    lblConnections.setCaption("Number of connections:");
    lblConnections.setGeometry(240, 5310, 2640, 255);
    cboConnections.setGeometry(2940, 5265, 900, 345);
    cmbOK.setGeometry(4560, 5970, 1200, 375);
    cmbCancel.setGeometry(5880, 5970, 1200, 375);

    add(fraList, lblList, txtFile, cmbFile, txtList, lblSave, txtSave, cmbPath, chkDefault,
        lblConnections, cboConnections, cmbOK, cmbCancel);
    cmbFile.onClick = [this] { cmbFile_Click(); };
    cmbOK.onClick = [this] { cmbOK_Click(); };
}

void frmList::Form_Load() {
    loadDefaults(true);
}

std::string frmList::scratchPath() const {
    return main_.app().programFolder() + "/tempdata.dat";
}

void frmList::appendLines(const std::vector<std::string>& lines) {
    std::string text = txtList.text();
    for (const std::string& line : lines) {
        text += textfile::trim(line);
        text += "\r\n";
    }
    txtList.setText(text);
}

void frmList::cmbFile_Click() {
    // The dialog is shared with the extension installer: its browser filter must not stay.
    CommonDialog& cmd = main_.cmd;
    cmd.filter.clear();
    cmd.dialogTitle.clear();
    main_.app().platform().ui.showOpen(cmd);
    txtFile.setText(cmd.fileName);
    if (cmd.fileName.empty()) {
        return;
    }
    std::string reason;
    const auto lines = textfile::readLines(cmd.fileName, textfile::kListLimit, &reason);
    if (!lines) {
        showError("The list file " + cmd.fileName + " cannot be read: " + reason + ".");
        return;
    }
    appendLines(*lines);
}

void frmList::cmbOK_Click() {
    if (adding()) {
        return;
    }
    const std::string list = txtList.text();
    if (list.empty()) {
        showInvalidUrl();
        return;
    }
    const std::string folder = destination();
    // Only a copy for the user: the list is added from memory even when it cannot be kept.
    textfile::writeLines(scratchPath(), {withCrLf(list)});
    if (!folderAccepted(folder)) {
        return;
    }

    const std::vector<std::string_view> lines = listLines(list);
    std::vector<std::size_t> refused;
    std::string keep;  // what stays in the box: refused lines, or the lines not reached
    std::string failure;
    int added = 0;
    {
        AddingScope scope(*this);
        DownloadAdder adder(main_);
        for (std::size_t i = 0; i < lines.size() && failure.empty(); ++i) {
            const std::string line(lines[i]);
            if (textfile::trim(line).empty()) {
                continue;
            }
            if (textfile::hasControlCharacter(line)) {
                refused.push_back(i + 1);
                keep += line + "\r\n";
            } else if (adder.add(line, folder, cboConnections.text())) {
                adder.keepWindowPainting();
            } else {
                failure = adder.failureMessage();
                for (std::size_t rest = i; rest < lines.size(); ++rest) {
                    keep += std::string(lines[rest]) + "\r\n";
                }
            }
        }
        added = adder.added();
    }
    if (!failure.empty()) {
        if (added > 0) {
            txtList.setText(keep);  // OK again retries only what was not added
        }
        showError(failure);
        return;
    }
    if (!refused.empty()) {
        txtList.setText(keep);
        showInvalidUrl(
            "These lines hold control characters and were not added (they stay in "
            "the list): " +
            lineNumbers(refused) + ".");
        return;
    }
    unload();
}

}  // namespace tandu
