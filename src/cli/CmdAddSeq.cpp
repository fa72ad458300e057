#include "CliCommands.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "services/SequenceNumbers.h"
#include "dialogs/frmSequence.h"

namespace tandu::cli {

namespace {

// A digits count the box holds: a number from 1 to 32767.
bool digitsCount(const std::string& text) {
    const auto value = sequence::readNumber(text);
    const auto whole = value ? sequence::toInteger16(*value) : std::nullopt;
    return whole && *whole >= 1;
}

}  // namespace

int cmdAddSeq(CliContext& context, const Arguments& args) {
    const ParsedArguments parsed = parseArguments(args, {"-d", "-n", "-w"});
    if (!parsed.error.empty()) {
        return usageError(parsed.error);
    }
    if (parsed.positional.size() != 3) {
        return usageError("add-seq takes PATTERN START END");
    }
    if (parsed.has("-n") && !validConnections(parsed.options.at("-n"))) {
        return usageError("-n takes a number of connections from 1 to 16");
    }
    // Refused before anything is added: the dialog's boxes would take junk as
    // 0, or 1 digit, and go on. Numbers out of range the dialog itself refuses.
    if (!sequence::readNumber(parsed.positional[1]) ||
        !sequence::readNumber(parsed.positional[2])) {
        return usageError("START and END must be numbers");
    }
    if (parsed.has("-w") && !digitsCount(parsed.options.at("-w"))) {
        return usageError("-w takes a number of digits of 1 or more");
    }
    frmMain& main = context.load();
    context.ui.formFillers["frmSequence"] = [&](Form& form) {
        auto& dialog = static_cast<frmSequence&>(form);
        dialog.txtURL.setText(parsed.positional[0]);
        dialog.txtStart.setText(parsed.positional[1]);
        dialog.txtStart.lostFocus();
        dialog.txtEnd.setText(parsed.positional[2]);
        dialog.txtEnd.lostFocus();
        dialog.txtDigits.setText(parsed.has("-w") ? parsed.options.at("-w") : "1");
        dialog.txtDigits.lostFocus();
        fillDestination(dialog, parsed);
        dialog.cmbOK.click();
    };
    main.menSeq_Click();
    return context.ui.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
