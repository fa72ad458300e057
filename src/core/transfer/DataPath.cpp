#include "transfer/DataPath.h"

#include <algorithm>
#include <cstring>

#include "catalogue/DefinitionFile.h"
#include "platform/Socket.h"
#include "transfer/Download.h"
#include "transfer/HttpHeader.h"
#include "transfer/HttpRequests.h"
#include "transfer/RangeAnswer.h"
#include "transfer/TransferMessages.h"

namespace tandu {

namespace {
// Reads per event before other connections get their turn.
constexpr int kReadsPerEvent = 16;
}  // namespace

bool DataPath::live(int index) const {
    const TransferRecord& rec = engine_.record();
    return rec.downloading && !rec.probing && index <= rec.pieceCount() && !rec.piece(index).done &&
           engine_.socket(index) != nullptr;
}

void DataPath::onConnect(int index) {
    if (live(index)) {
        const PieceState& p = engine_.record().piece(index);
        engine_.socket(index)->send(
            RangeRequest(engine_.record().url, p.firstWanted(), p.lastWanted()));
    }
}

void DataPath::onData(int index) {
    if (!live(index)) {
        if (Socket* socket = engine_.socket(index)) {
            socket->getData();  // nobody waits for it
        }
        return;
    }
    take(index);
}

void DataPath::onClose(int index) {
    if (!live(index) || take(index) == Flow::Stop) {
        return;
    }
    // Whatever arrived is taken; the piece is still short.
    engine_.socket(index)->close();
    engine_.showConnectionError(messages::kClosedEarly);
    engine_.connectionLost();
}

void DataPath::onError(int index, const std::string& description) {
    if (engine_.running() && engine_.socket(index) != nullptr) {
        engine_.showConnectionError(description);
        engine_.connectionLost();
    }
}

DataPath::Flow DataPath::take(int index) {
    Socket& socket = *engine_.socket(index);
    for (int round = 0; round < kReadsPerEvent; ++round) {
        PieceState& p = engine_.record().piece(index);
        if (p.headerPending) {
            if (takeHeader(index) == Flow::Stop) {
                return Flow::Stop;
            }
            if (p.headerPending) {
                return Flow::More;  // the rest of the header is still on its way
            }
            continue;
        }
        const std::size_t want = std::min(kChunk, p.buffer.room());
        const std::size_t got = socket.read(p.buffer.end(), want);
        if (got == 0) {
            return Flow::More;
        }
        if (accept(index, got) == Flow::Stop) {
            return Flow::Stop;
        }
        if (got < want) {
            return Flow::More;  // drained
        }
    }
    return Flow::More;
}

DataPath::Flow DataPath::takeHeader(int index) {
    TransferRecord& rec = engine_.record();
    PieceState& p = rec.piece(index);
    Socket& socket = *engine_.socket(index);
    std::size_t before = p.header.size();
    std::optional<std::size_t> end;
    while (!end) {
        if (socket.readInto(p.header, kHeaderStep) == 0) {
            return Flow::More;
        }
        end = HttpHeader::findEnd(p.header, before);
        before = p.header.size();
        if (!end && p.header.size() > HttpHeader::kLongest) {
            refuse(index, "The server's answer has no end to its header.");
            return Flow::Stop;
        }
    }
    const HttpHeader header = HttpHeader::parse(std::string_view(p.header).substr(0, *end));
    const RangeAnswer answer = RangeAnswer::judge(header, p.firstWanted(), rec.plan.fileSize,
                                                  rec.oneConnection || rec.pieceCount() == 1);
    if (answer.kind == RangeAnswer::Kind::IgnoresRange) {
        fallBackToOneConnection();
        return Flow::Stop;
    }
    if (answer.kind == RangeAnswer::Kind::Unusable) {
        refuse(index, answer.reason);
        return Flow::Stop;
    }
    p.headerPending = false;
    p.skip = answer.skip;
    p.buffer.reserve(static_cast<std::size_t>(rec.bufferSize) + kChunk);
    const std::string body = p.header.substr(*end);
    p.header.clear();
    p.header.shrink_to_fit();
    if (body.empty()) {
        return Flow::More;
    }
    std::memcpy(p.buffer.end(), body.data(), body.size());
    return accept(index, body.size());
}

DataPath::Flow DataPath::accept(int index, std::size_t count) {
    TransferRecord& rec = engine_.record();
    PieceState& p = rec.piece(index);
    const std::size_t skip = static_cast<std::size_t>(std::min<std::int64_t>(p.skip, count));
    p.skip -= static_cast<std::int64_t>(skip);
    // Bytes past the piece's end are not ours to write.
    const std::size_t keep = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(count - skip), p.missing()));
    p.buffer.commit(count, skip, keep);
    p.received += static_cast<std::int64_t>(keep);
    if (static_cast<std::int64_t>(p.buffer.size()) > rec.bufferSize && !flush(index)) {
        return Flow::Stop;
    }
    if (p.received >= p.length) {
        completePiece(index);
        return Flow::Stop;
    }
    return Flow::More;
}

bool DataPath::flush(int index) {
    TransferRecord& rec = engine_.record();
    PieceState& p = rec.piece(index);
    std::string reason;
    if (!engine_.target().writeAt(p.start + p.written, p.buffer.data(), p.buffer.size(), &reason)) {
        engine_.failOnFile(rec.targetPath, reason);
        return false;
    }
    p.written += static_cast<std::int64_t>(p.buffer.size());
    p.buffer.clear();
    if (!engine_.advanceProgress(&reason)) {
        engine_.failOnFile(rec.progressPath, reason);
        return false;
    }
    return true;
}

void DataPath::completePiece(int index) {
    TransferRecord& rec = engine_.record();
    PieceState& p = rec.piece(index);
    engine_.socket(index)->close();
    p.done = true;
    p.finalWrite = static_cast<std::int64_t>(p.buffer.size());
    if (!p.buffer.empty() && !flush(index)) {
        return;
    }
    p.buffer.release();
    if (rec.allPiecesDone()) {
        engine_.runCompletion();
    }
}

void DataPath::refuse(int index, const std::string& reason) {
    PieceState& p = engine_.record().piece(index);
    p.header.clear();
    p.headerPending = true;
    engine_.socket(index)->close();
    engine_.showConnectionError(reason);
    engine_.connectionLost();
}

void DataPath::fallBackToOneConnection() {
    TransferRecord& rec = engine_.record();
    for (int i = rec.pieceCount(); i >= 2; --i) {
        engine_.destroyConnection(i);
    }
    engine_.destroyConnection(1);
    // What piece 1 holds is the start of the file: it stays.
    PieceState& first = rec.piece(1);
    if (!first.done && !first.buffer.empty() && !flush(1)) {
        return;
    }
    const std::int64_t written = first.written;
    rec.oneConnection = true;
    rec.plan = PiecePlan::make(rec.plan.fileSize, 1);
    rec.defPieces = std::to_string(rec.plan.pieces);
    rec.layOutPieces({written});

    DefinitionFile definition;
    definition.fileName = rec.fileName;
    definition.url = rec.defURL;
    definition.saveFolder = rec.saveFolder;
    definition.pieces = rec.defPieces;
    std::string reason;
    if (!definition.writeForm2(rec.definitionPath, rec.plan.fileSize, rec.plan.pieceSize,
                               rec.plan.remainder, &reason)) {
        engine_.failOnFile(rec.definitionPath, reason);
        return;
    }
    if (!engine_.rewriteProgress(&reason)) {
        engine_.failOnFile(rec.progressPath, reason);
        return;
    }
    engine_.createConnections(1);
    engine_.changed();
    const std::string notice = messages::wholeFilesOnly(engine_.text());
    if (rec.piece(1).done) {
        engine_.runCompletion();
    } else {
        engine_.connect(1);
    }
    engine_.showNotice(notice);
}

}  // namespace tandu
