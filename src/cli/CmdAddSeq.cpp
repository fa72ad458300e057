#include "CliCommands.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "services/AddService.h"
#include "services/SequenceNumbers.h"

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
    // 0, or 1 digit, and go on. Numbers out of range the add itself refuses.
    if (!sequence::readNumber(parsed.positional[1]) ||
        !sequence::readNumber(parsed.positional[2])) {
        return usageError("START and END must be numbers");
    }
    if (parsed.has("-w") && !digitsCount(parsed.options.at("-w"))) {
        return usageError("-w takes a number of digits of 1 or more");
    }
    Application& app = context.app();
    const AddTarget target = addTarget(app, parsed);
    const auto digits = sequence::digitsOnLeave(parsed.has("-w") ? parsed.options.at("-w") : "1");
    if (digits.message) {
        context.show(*digits.message);
    }
    const auto outcome = AddService(app).addSequence(
        parsed.positional[0], sequence::startOrEndOnLeave(parsed.positional[1]),
        sequence::startOrEndOnLeave(parsed.positional[2]), digits.text, target.folder,
        target.connections);
    if (outcome.message) {
        context.show(*outcome.message);
    }
    return context.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
