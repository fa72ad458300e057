#include "transfer/DataPath.h"

#include <algorithm>
#include <cstring>

#include "net/Fetcher.h"
#include "transfer/Download.h"
#include "transfer/RangeAnswer.h"
#include "transfer/TransferMessages.h"

namespace tandu {

bool DataPath::live(int index) const {
    const TransferRecord& rec = engine_.record();
    return rec.downloading && !rec.probing && index <= rec.stretchCount() &&
           !rec.stretch(index).done && engine_.fetching(index);
}

std::int64_t DataPath::nextAsk(const Stretch& p) const {
    const RangeRules& rules = engine_.setup().ranges;
    const double rate = p.recentRate > 0 ? p.recentRate : engine_.record().fastestRate;
    return std::clamp(static_cast<std::int64_t>(rate * rules.seconds), rules.least, rules.most);
}

std::unique_ptr<net::Fetch> DataPath::start(int index) {
    TransferRecord& rec = engine_.record();
    Stretch& p = rec.stretch(index);
    p.headerPending = true;
    p.askedAt = engine_.setup().clock();
    p.retryIn = 0;
    p.gaveUp = false;
    if (!p.nextRange) {
        p.crawlingSince.reset();
    }
    net::FetchRequest request;
    request.url = *rec.fetchUrl;
    request.kind = net::FetchRequest::Kind::Get;
    request.followRedirects = rec.followOnPieces;
    request.credentialsFrom = rec.source;
    request.rateGroup = engine_.rateGroup();
    request.session = rec.session;
    if (!rec.sizeUnknown) {
        // One connection of a server that sends whole files asks for all it lacks.
        p.askedTo =
            p.received + (rec.oneConnection ? p.missing() : std::min(p.missing(), nextAsk(p)));
        request.range = net::FetchRequest::Range{p.firstWanted(), p.start + p.askedTo - 1};
    } else {
        p.askedTo = p.length;
        if (p.received > 0) {
            request.range = net::FetchRequest::Range{p.firstWanted(), std::nullopt};
        }
    }
    net::FetchHandlers handlers;
    handlers.onHead = [this, index](const net::AnswerHead& head) { onHead(index, head); };
    handlers.onBody = [this, index](std::string_view bytes) { onBody(index, bytes); };
    handlers.onEnd = [this, index] { onEnd(index); };
    handlers.onFailure = [this, index](const net::FetchFailure& f) { onFailure(index, f); };
    return engine_.setup().fetcher.start(request, std::move(handlers));
}

void DataPath::onHead(int index, const net::AnswerHead& head) {
    if (!live(index)) {
        return;
    }
    TransferRecord& rec = engine_.record();
    Stretch& p = rec.stretch(index);
    if (RangeAnswer::passing(head.status)) {
        p.nextRange = false;
        engine_.retryLater(index, head.retryAfter, messages::serverAnswered(head.raw));
        return;
    }
    const std::optional<std::int64_t> size =
        rec.sizeUnknown ? std::nullopt : std::optional<std::int64_t>(rec.plan.fileSize);
    const std::optional<std::int64_t> last =
        rec.sizeUnknown ? std::nullopt : std::optional<std::int64_t>(p.start + p.askedTo - 1);
    const RangeAnswer answer = RangeAnswer::judge(head, p.firstWanted(), last, size,
                                                  rec.oneConnection || rec.pieceCount() == 1);
    if (answer.kind == RangeAnswer::Kind::IgnoresRange) {
        fallBackToOneConnection();
        return;
    }
    if (answer.kind == RangeAnswer::Kind::Unusable) {
        engine_.failTransfer(messages::connectionError(answer.reason));
        return;
    }
    engine_.noteAnnouncedChecksum(head);
    accepted(index, head, answer.skip);
}

void DataPath::accepted(int index, const net::AnswerHead& head, std::int64_t skip) {
    TransferRecord& rec = engine_.record();
    Stretch& p = rec.stretch(index);
    if (rec.sizeUnknown && skip > 0) {
        // Nothing says the file is the one begun: it is fetched again whole.
        if (!restartWhole(index)) {
            return;
        }
        engine_.showNotice(messages::restartsWhole(engine_.text()));
    } else {
        p.skip = skip;
    }
    if (head.status == 200) {
        p.askedTo = p.length;  // the whole file comes
    }
    if (rec.followOnPieces) {
        // A resume learns where the address leads from its first answer.
        rec.fetchUrl = head.url;
        rec.followOnPieces = false;
    }
    const bool firstRange = !rec.rangesHonoured && head.status == 206;
    rec.rangesHonoured = rec.rangesHonoured || firstRange;
    p.headerPending = false;
    // A stretch's next range on the same connection keeps the speed known
    // until its own is measured.
    p.sampledAt = engine_.setup().clock();
    rec.shortestTrip =
        std::min(rec.shortestTrip, std::chrono::duration<double>(p.sampledAt - p.askedAt).count());
    p.sampledFrom = p.headFrom = p.received;
    p.priorRate = p.nextRange;
    if (!p.nextRange) {
        p.recentRate = -1;
        p.peakRate = 0;
    }
    p.nextRange = false;
    p.buffer.reserve(static_cast<std::size_t>(rec.bufferSize) + kChunk);
    if (firstRange) {
        engine_.helpIdle();  // connections whose pieces were done before this start
    }
}

void DataPath::onBody(int index, std::string_view bytes) {
    if (!live(index) || engine_.record().stretch(index).headerPending) {
        return;  // not ours to keep
    }
    const TransferRecord& rec = engine_.record();
    Stretch& p = engine_.record().stretch(index);
    // A whole-file answer to a resume: the bytes before the stretch are dropped.
    const std::size_t skip = static_cast<std::size_t>(std::min<std::int64_t>(p.skip, bytes.size()));
    p.skip -= static_cast<std::int64_t>(skip);
    bytes.remove_prefix(skip);
    // Bytes past what was asked for (a whole-file answer: the stretch's end)
    // are not ours to write.
    bytes = bytes.substr(0, static_cast<std::size_t>(std::clamp<std::int64_t>(
                                static_cast<std::int64_t>(bytes.size()), 0,
                                std::min(p.askedTo, p.length) - p.received)));
    // More than a buffer's worth goes to the file from where it lies.
    if (p.buffer.empty() && static_cast<std::int64_t>(bytes.size()) > rec.bufferSize) {
        if (!writeOut(index, bytes.data(), bytes.size())) {
            return;
        }
        received(index, bytes.size());
    } else {
        while (!bytes.empty()) {
            const std::size_t count = std::min({bytes.size(), p.buffer.room(), kChunk});
            std::memcpy(p.buffer.end(), bytes.data(), count);
            p.buffer.commit(count);
            bytes.remove_prefix(count);
            received(index, count);
            if (static_cast<std::int64_t>(p.buffer.size()) > rec.bufferSize && !flush(index)) {
                return;
            }
        }
    }
    if (p.received >= p.length) {
        completePiece(index);
    } else if (p.received >= p.askedTo) {
        // The answer is whole: its connection, free again, takes the next
        // range, sized by this one's speed when no sample has told it yet
        // (a fast path finishes requests between samples).
        const std::chrono::duration<double> took = engine_.setup().clock() - p.askedAt;
        if ((p.recentRate < 0 || p.priorRate) && took.count() > 0) {
            p.recentRate = static_cast<double>(p.received - p.headFrom) / took.count();
        }
        p.nextRange = true;
        engine_.connect(index);
    } else {
        engine_.balanceNow();
    }
}

void DataPath::onEnd(int index) {
    if (!live(index)) {
        return;
    }
    if (engine_.record().sizeUnknown && !engine_.record().stretch(index).headerPending) {
        completeUnknownSize();
        return;
    }
    // The answer ended and the piece is still short.
    engine_.record().stretch(index).nextRange = false;
    engine_.retryLater(index, std::nullopt, messages::kClosedEarly);
}

void DataPath::onFailure(int index, const net::FetchFailure& failure) {
    if (!live(index)) {
        return;
    }
    engine_.record().stretch(index).nextRange = false;
    if (failure.retryable()) {
        engine_.retryLater(index, std::nullopt, failure.message);
    } else {
        engine_.giveUp(index, failure.message);
    }
}

void DataPath::received(int index, std::size_t count) {
    Stretch& p = engine_.record().stretch(index);
    p.received += static_cast<std::int64_t>(count);
    // It moves again: the next break gets all its tries. A trickle does not
    // count, or a connection below the floor would be retried for ever.
    if (p.failures > 0 && p.received - p.headFrom >= kMovedAgain) {
        p.failures = 0;
        engine_.changed();
    }
}

bool DataPath::restartWhole(int index) {
    TransferRecord& rec = engine_.record();
    Stretch& p = rec.stretch(index);
    // Not a byte of the old answer stays: neither buffered nor in the file.
    p.buffer.clear();
    p.received = p.written = p.lastReceived = 0;
    std::string reason;
    if (!engine_.target().empty(&reason)) {
        engine_.failOnFile(rec.targetPath, reason);
        return false;
    }
    if (!engine_.rewriteProgress(&reason)) {
        engine_.failOnFile(rec.progressPath, reason);
        return false;
    }
    return true;
}

bool DataPath::flush(int index) {
    PieceBuffer& buffer = engine_.record().stretch(index).buffer;
    if (!writeOut(index, buffer.data(), buffer.size())) {
        return false;
    }
    buffer.clear();
    return true;
}

bool DataPath::write(int index, const char* bytes, std::size_t count, std::string* reason) {
    Stretch& p = engine_.record().stretch(index);
    if (!engine_.target().writeAt(p.start + p.written, bytes, count, reason)) {
        return false;
    }
    p.written += static_cast<std::int64_t>(count);
    return true;
}

bool DataPath::writeOut(int index, const char* bytes, std::size_t count) {
    TransferRecord& rec = engine_.record();
    std::string reason;
    if (!write(index, bytes, count, &reason)) {
        engine_.failOnFile(rec.targetPath, reason);
        return false;
    }
    if (!engine_.advanceProgress(&reason)) {
        engine_.failOnFile(rec.progressPath, reason);
        return false;
    }
    return true;
}

void DataPath::completePiece(int index) {
    TransferRecord& rec = engine_.record();
    Stretch& p = rec.stretch(index);
    engine_.destroyConnection(index);
    p.done = true;
    p.finalWrite = static_cast<std::int64_t>(p.buffer.size());
    if (!p.buffer.empty() && !flush(index)) {
        return;
    }
    p.buffer.release();
    if (rec.allPiecesDone()) {
        engine_.runCompletion();
    } else {
        engine_.connectionFree(p.connection);
    }
}

bool DataPath::storePlan() {
    const TransferRecord& rec = engine_.record();
    std::string reason;
    if (!engine_.writeDefinition(&reason)) {
        engine_.failOnFile(rec.definitionPath, reason);
        return false;
    }
    if (!engine_.rewriteProgress(&reason)) {
        engine_.failOnFile(rec.progressPath, reason);
        return false;
    }
    return true;
}

void DataPath::completeUnknownSize() {
    TransferRecord& rec = engine_.record();
    Stretch& p = rec.stretch(1);
    if (!p.buffer.empty() && !flush(1)) {
        return;
    }
    rec.sizeUnknown = false;
    rec.plan = PiecePlan::make(p.received, 1);
    p.length = p.received;
    if (storePlan()) {
        completePiece(1);
    }
}

void DataPath::fallBackToOneConnection() {
    TransferRecord& rec = engine_.record();
    for (int k = rec.stretchCount(); k >= 1; --k) {
        engine_.destroyConnection(k);
    }
    // What piece 1 holds is the start of the file: it stays.
    Stretch& first = rec.stretch(1);
    if (!first.done && !first.buffer.empty() && !flush(1)) {
        return;
    }
    const std::int64_t written = rec.writtenCounts().front();
    rec.oneConnection = true;
    rec.plan = PiecePlan::make(rec.plan.fileSize, 1);
    rec.defPieces = std::to_string(rec.plan.pieces);
    rec.layOutPieces({written});
    if (!storePlan()) {
        return;
    }
    engine_.changed();
    const std::string notice = messages::wholeFilesOnly(engine_.text());
    if (rec.stretch(1).done) {
        engine_.runCompletion();
    } else {
        engine_.connect(1);
    }
    engine_.showNotice(notice);
}

}  // namespace tandu
