#include "transfer/ProbeHandler.h"

#include <cstdio>

#include "storage/DefinitionFile.h"
#include "storage/ProgressFile.h"
#include "storage/TextFile.h"
#include "net/Fetcher.h"
#include "transfer/Download.h"
#include "transfer/RangeAnswer.h"
#include "transfer/TargetFile.h"
#include "transfer/TransferMessages.h"

namespace tandu {

std::unique_ptr<net::Fetch> ProbeHandler::start() {
    net::FetchRequest request;
    request.url = *engine_.record().source;
    request.followRedirects = true;
    request.session = engine_.record().session;
    if (headRefused_) {
        request.kind = net::FetchRequest::Kind::Get;
        request.range = net::FetchRequest::Range{0, 0};
    } else {
        request.kind = net::FetchRequest::Kind::Head;
    }
    net::FetchHandlers handlers;
    handlers.onHead = [this](const net::AnswerHead& head) { onHead(head); };
    // Only the head of a byte-0 GET is wanted.
    handlers.onBody = [](std::string_view) {};
    handlers.onFailure = [this](const net::FetchFailure& failure) { onFailure(failure); };
    return engine_.setup().fetcher.start(request, std::move(handlers));
}

void ProbeHandler::onHead(const net::AnswerHead& head) {
    TransferRecord& rec = engine_.record();
    if (!rec.probing) {
        return;
    }
    keepScratchCopy(head.raw);
    if ((head.status == 405 || head.status == 501) && !headRefused_) {
        headRefused_ = true;
        engine_.connect(0);
        return;
    }
    if (RangeAnswer::passing(head.status)) {
        engine_.retryLater(0, head.retryAfter, messages::serverAnswered(head.raw));
        return;
    }
    if (head.status < 200 || head.status >= 300) {
        fail(messages::kCannotDownload);
        return;
    }
    const auto size = RangeAnswer::probedSize(head);
    if (!size && (RangeAnswer::encodedTransfer(head) || RangeAnswer::lengthConflicts(head))) {
        fail(messages::kCannotDownload);
        return;
    }
    std::remove((engine_.setup().programFolder + "/header.dat").c_str());
    rec.fetchUrl = head.url;
    engine_.noteAnnouncedChecksum(head);
    succeed(size, head.acceptsRanges || head.status == 206);
}

void ProbeHandler::onFailure(const net::FetchFailure& failure) {
    if (!engine_.record().probing) {
        return;
    }
    // A server that takes the connection and says nothing is not asked again.
    if (failure.retryable() && failure.kind != net::FetchFailure::Kind::Timeout) {
        engine_.retryLater(0, std::nullopt, failure.message);
    } else {
        fail(messages::connectionError(failure.message));
    }
}

void ProbeHandler::keepScratchCopy(const std::string& head) {
    // Only a scratch copy for the curious; the answer itself is in memory.
    textfile::writeLines(engine_.setup().programFolder + "/header.dat", textfile::splitLines(head));
}

void ProbeHandler::fail(const std::string& message) {
    engine_.failStart(engine_.quiet() ? std::nullopt : std::optional<std::string>(message));
}

std::optional<std::vector<std::int64_t>> ProbeHandler::openTarget(bool resumable,
                                                                  std::string* reason) {
    TransferRecord& rec = engine_.record();
    TargetFile& target = engine_.target();
    // A fresh start owns the name only when nothing else has it.
    if (!target.open(rec.targetPath, !rec.leftover, reason)) {
        return std::nullopt;
    }
    std::vector<std::int64_t> counts;
    const auto held = target.size();
    // A file longer than the server's is not the one it has now. Only what the
    // progress file counts is known to be there: the rest may be lost writes.
    if (rec.leftover && resumable && held && *held <= rec.plan.fileSize) {
        counts = ProgressFile::carried(rec.progressPath, rec.plan);
        for (int i = 1; i <= rec.plan.pieces; ++i) {
            auto& count = counts[static_cast<std::size_t>(i - 1)];
            count = target.heldFrom(rec.plan.start(i), count);
        }
    } else if (rec.leftover && !target.empty(reason)) {
        return std::nullopt;
    }
    return counts;
}

void ProbeHandler::abandonFresh(bool targetMade) {
    const TransferRecord& rec = engine_.record();
    if (rec.leftover) {
        return;  // its bytes stay for the next start
    }
    // The target first: a claim without a target is harmless, a target
    // without its claim would block every later start.
    if (targetMade) {
        engine_.target().discardIfEmpty();
    }
    if (!targetMade || !TargetFile::occupied(rec.targetPath)) {
        std::remove(rec.progressPath.c_str());
    }
}

void ProbeHandler::succeed(std::optional<std::int64_t> fileSize, bool rangesAllowed) {
    TransferRecord& rec = engine_.record();
    engine_.destroyConnection(0);
    rec.probing = false;
    rec.sizeUnknown = !fileSize;
    rec.plan = PiecePlan::make(fileSize.value_or(0), fileSize ? rec.plan.pieces : 1);
    // The progress file claims the target before a fresh start makes it: it
    // is all that says the file is the download's own, so a start stopped at
    // any point leaves a target the next one knows.
    std::string reason;
    if (!rec.leftover && !engine_.rewriteProgress(&reason)) {
        engine_.failOnFile(rec.progressPath, reason);
        return;
    }
    const auto counts = openTarget(fileSize && rangesAllowed, &reason);
    if (!counts) {
        abandonFresh(false);
        engine_.failOnFile(rec.targetPath, reason);
        return;
    }
    // Begun again from byte 0: that is said once the transfer runs.
    const std::string notice =
        rec.leftover && counts->empty() ? messages::cannotResume(engine_.text()) : "";
    rec.layOutPieces(*counts);
    if (rec.sizeUnknown) {
        rec.stretch(1).length = Stretch::kUnknownLength;
        rec.stretch(1).done = false;
    }

    // The progress file before the definition: a definition that says
    // "Downloading" always has one, however the program ends.
    if (!engine_.rewriteProgress(&reason)) {
        abandonFresh(true);
        engine_.failOnFile(rec.progressPath, reason);
        return;
    }
    if (!rec.sizeUnknown && !engine_.writeDefinition(&reason)) {
        abandonFresh(true);
        engine_.failOnFile(rec.definitionPath, reason);
        return;
    }
    engine_.setState(DownloadState::Downloading);
    for (int i = 1; i <= rec.pieceCount(); ++i) {
        if (!rec.stretch(i).done) {
            engine_.connect(i);
        }
    }
    if (rec.allPiecesDone()) {
        engine_.runCompletion();  // an empty file, or nothing left to fetch
    }
    if (!notice.empty()) {
        engine_.showNotice(notice);
    }
}

}  // namespace tandu
