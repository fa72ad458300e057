#include "transfer/ProbeHandler.h"

#include <cstdio>

#include "catalogue/DefinitionFile.h"
#include "catalogue/TextFile.h"
#include "platform/Socket.h"
#include "transfer/Download.h"
#include "transfer/HttpRequests.h"
#include "transfer/TransferMessages.h"

namespace tandu {

void ProbeHandler::onConnect() {
    if (engine_.record().probing) {
        engine_.socket(0)->send(ProbeRequest(engine_.record().url));
    }
}

void ProbeHandler::onData() {
    Socket* ws0 = engine_.socket(0);
    if (!engine_.record().probing) {
        ws0->getData();  // nobody waits for it
        return;
    }
    engine_.record().probe.take(*ws0);
    decide();
}

void ProbeHandler::onClose() {
    TransferRecord& rec = engine_.record();
    if (!rec.probing) {
        return;
    }
    rec.probe.take(*engine_.socket(0));
    if (rec.probe.progress() == ProbeAnswer::Progress::Incomplete) {
        fail();  // the answer ended before its header did
        return;
    }
    decide();
}

void ProbeHandler::onError(const std::string& description) {
    if (engine_.record().probing) {
        engine_.failStart(messages::connectionError(description));
    }
}

void ProbeHandler::decide() {
    const ProbeAnswer& probe = engine_.record().probe;
    if (probe.progress() == ProbeAnswer::Progress::Incomplete) {
        return;
    }
    keepScratchCopy();
    const auto size = probe.fileSize();
    if (size) {
        std::remove(scratchPath().c_str());
        succeed(*size);
    } else {
        fail();
    }
}

std::string ProbeHandler::scratchPath() const {
    return engine_.setup().programFolder + "/header.dat";
}

void ProbeHandler::keepScratchCopy() {
    // Only a scratch copy for the curious; the answer itself is in memory.
    textfile::writeLines(scratchPath(), textfile::splitLines(engine_.record().probe.text()));
}

void ProbeHandler::fail() {
    engine_.failStart(engine_.quiet() ? std::nullopt
                                      : std::optional<std::string>(messages::kCannotDownload));
}

void ProbeHandler::succeed(std::int64_t fileSize) {
    TransferRecord& rec = engine_.record();
    rec.probing = false;
    rec.plan = PiecePlan::make(fileSize, rec.plan.pieces);
    rec.layOutPieces();

    // The progress file comes first: a definition that says "Downloading"
    // always has one, however the program ends.
    std::string reason;
    if (!engine_.rewriteProgress(&reason)) {
        engine_.failOnFile(rec.progressPath, reason);
        return;
    }
    DefinitionFile definition;
    definition.fileName = rec.fileName;
    definition.url = rec.defURL;
    definition.saveFolder = rec.saveFolder;
    definition.pieces = rec.defPieces;
    if (!definition.writeForm2(rec.definitionPath, rec.plan.fileSize, rec.plan.pieceSize,
                               rec.plan.remainder, &reason)) {
        engine_.failOnFile(rec.definitionPath, reason);
        return;
    }
    engine_.setState(DownloadState::Downloading);
    // A fresh start owns the name: an older file of that name is cut to nothing.
    if (!engine_.target().open(rec.targetPath, true, &reason)) {
        engine_.failOnFile(rec.targetPath, reason);
        return;
    }
    engine_.socket(0)->close();
    for (int i = 1; i <= rec.pieceCount(); ++i) {
        if (!rec.piece(i).done) {
            engine_.connect(i);
        }
    }
    if (rec.allPiecesDone()) {
        engine_.runCompletion();  // an empty file, or nothing left to fetch
    }
}

}  // namespace tandu
