#include "transfer/FirstRequest.h"

#include <cstdio>

#include "net/Fetcher.h"
#include "storage/FileNames.h"
#include "storage/ProgressFile.h"
#include "storage/TextFile.h"
#include "transfer/Download.h"
#include "transfer/RangeAnswer.h"
#include "transfer/TargetFile.h"
#include "transfer/TransferMessages.h"

namespace tandu {

std::unique_ptr<net::Fetch> FirstRequest::start() {
    net::FetchRequest request;
    request.url = *engine_.record().source;
    request.kind = net::FetchRequest::Kind::Get;
    request.range = net::FetchRequest::Range{0, engine_.setup().ranges.first - 1};
    request.followRedirects = true;
    request.session = engine_.record().session;
    request.rateGroup = engine_.rateGroup();
    handedOver_ = false;
    askedAt_ = engine_.setup().clock();
    // Once handed over, the answer is piece 1's like any of its own.
    net::FetchHandlers handlers;
    handlers.onHead = [this](const net::AnswerHead& head) {
        if (!handedOver_) {
            onHead(head);
        }
    };
    handlers.onBody = [this](std::string_view bytes) {
        if (handedOver_) {
            engine_.data().onBody(1, bytes);
        }
    };
    handlers.onEnd = [this] {
        if (handedOver_) {
            engine_.data().onEnd(1);
        }
    };
    handlers.onFailure = [this](const net::FetchFailure& failure) {
        if (handedOver_) {
            engine_.data().onFailure(1, failure);
        } else {
            onFailure(failure);
        }
    };
    return engine_.setup().fetcher.start(request, std::move(handlers));
}

void FirstRequest::onHead(const net::AnswerHead& head) {
    TransferRecord& rec = engine_.record();
    if (!rec.probing) {
        return;
    }
    if (RangeAnswer::passing(head.status)) {
        keepScratchCopy(head.raw);
        engine_.retryLater(0, head.retryAfter, messages::serverAnswered(head.raw));
        return;
    }
    // An empty file has no byte 0 to send.
    if (head.status == 416 && head.header("Content-Range") == "bytes */0") {
        std::remove((engine_.setup().programFolder + "/header.dat").c_str());
        succeed(head, 0);
        return;
    }
    if (head.status < 200 || head.status >= 300) {
        keepScratchCopy(head.raw);
        fail(messages::kCannotDownload);
        return;
    }
    const RangeAnswer answer =
        RangeAnswer::judge(head, 0, engine_.setup().ranges.first - 1, std::nullopt, true);
    if (answer.kind != RangeAnswer::Kind::Accept) {
        keepScratchCopy(head.raw);
        fail(messages::untrusted(answer.reason));
        return;
    }
    std::remove((engine_.setup().programFolder + "/header.dat").c_str());
    rec.fetchUrl = head.url;
    rec.followOnPieces = false;
    engine_.noteAnnouncedChecksum(head);
    if (!rec.leftover) {
        takeServerName(head);
    }
    succeed(head, RangeAnswer::sizeOf(head));
}

void FirstRequest::onFailure(const net::FetchFailure& failure) {
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

void FirstRequest::takeServerName(const net::AnswerHead& head) {
    const auto given = head.fileName();
    const std::string name = given ? SafeServerName(*given) : std::string();
    if (!name.empty() && name != engine_.text()) {
        engine_.takeName(name);
    }
}

void FirstRequest::keepScratchCopy(const std::string& head) {
    // Only a scratch copy for the curious, of an answer not taken; the answer
    // itself is in memory.
    textfile::writeLines(engine_.setup().programFolder + "/header.dat", textfile::splitLines(head));
}

void FirstRequest::fail(const std::string& message) {
    engine_.failStart(engine_.quiet() ? std::nullopt : std::optional<std::string>(message));
}

std::optional<std::vector<std::int64_t>> FirstRequest::openTarget(bool resumable,
                                                                  std::string* reason) {
    TransferRecord& rec = engine_.record();
    TargetFile& target = engine_.target();
    // A fresh start owns the name only when nothing else has it. Its name is
    // made durable after the progress file's, which claims it.
    const auto nameSync = rec.leftover ? textfile::NameSync::Now : textfile::NameSync::Later;
    if (!target.open(rec.targetPath, !rec.leftover, reason, nameSync)) {
        return std::nullopt;
    }
    if (!rec.leftover) {
        engine_.syncNameLater(rec.targetPath);
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

void FirstRequest::abandonFresh(bool targetMade) {
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

void FirstRequest::succeed(const net::AnswerHead& head, std::optional<std::int64_t> fileSize) {
    TransferRecord& rec = engine_.record();
    const RangeRules& rules = engine_.setup().ranges;
    const bool ranges = head.status == 206 || head.status == 416;
    const int wanted = rec.plan.pieces;
    rec.probing = false;
    rec.sizeUnknown = !fileSize;
    // A server that sends whole files only gets one connection; a small file
    // gets no more pieces than are worth a request of their own.
    rec.oneConnection = fileSize && !ranges;
    const int pieces =
        fileSize && ranges ? PiecePlan::worth(*fileSize, wanted, rules.smallestPiece) : 1;
    rec.plan = PiecePlan::make(fileSize.value_or(0), pieces);
    if (fileSize) {
        rec.defPieces = std::to_string(pieces);
    }
    // The progress file claims the target before a fresh start makes it: it
    // is all that says the file is the download's own, so a start stopped at
    // any point leaves a target the next one knows.
    std::string reason;
    if (!rec.leftover && !engine_.claimTarget(&reason)) {
        engine_.failOnFile(rec.progressPath, reason);
        return;
    }
    const auto counts = openTarget(fileSize && ranges, &reason);
    if (!counts) {
        abandonFresh(false);
        engine_.failOnFile(rec.targetPath, reason);
        return;
    }
    // Begun again from byte 0: that is said once the transfer runs.
    std::string notice =
        rec.leftover && counts->empty() ? messages::cannotResume(engine_.text()) : "";
    if (notice.empty() && rec.oneConnection &&
        PiecePlan::worth(*fileSize, wanted, rules.smallestPiece) > 1) {
        notice = messages::wholeFilesOnly(engine_.text());
    }
    rec.layOutPieces(*counts);
    if (rec.sizeUnknown) {
        rec.stretch(1).length = Stretch::kUnknownLength;
        rec.stretch(1).done = false;
    }

    // The progress file before the definition: a definition that says
    // "Downloading" always has one, however the program ends. A fresh
    // start's claim already says that nothing is there.
    if (rec.leftover && !engine_.rewriteProgress(&reason)) {
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
    Stretch& first = rec.stretch(1);
    // The answer goes on as piece 1's, unless piece 1 has those bytes
    // already or needs a request of another kind (a size the part did not say).
    if (!first.done && first.received == 0 && head.status != 416 &&
        (head.status == 200 || fileSize)) {
        first.askedTo =
            head.status == 206 ? std::min(head.contentRange->last + 1, first.length) : first.length;
        first.askedAt = askedAt_;
        handedOver_ = true;
        engine_.handOver(0, 1);
        engine_.data().accepted(1, head, 0);
    } else {
        engine_.destroyConnection(0);
    }
    for (int i = 1; i <= rec.pieceCount() && rec.downloading; ++i) {
        if (!rec.stretch(i).done && !engine_.fetching(i)) {
            engine_.connect(i);
        }
    }
    if (rec.downloading && rec.allPiecesDone()) {
        engine_.runCompletion();  // an empty file, or nothing left to fetch
    }
    if (!notice.empty()) {
        engine_.showNotice(notice);
    }
}

}  // namespace tandu
