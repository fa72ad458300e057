#include "transfer/StartProcedure.h"

#include <algorithm>

#include "storage/CookieFile.h"
#include "storage/DefinitionFile.h"
#include "storage/FileNames.h"
#include "storage/TextFile.h"
#include "storage/SettingsFile.h"
#include "transfer/Download.h"
#include "storage/ProgressFile.h"
#include "transfer/TargetFile.h"
#include "transfer/TransferMessages.h"

namespace tandu {

namespace {

std::optional<int> pieceCount(const std::string& line) {
    const auto value = textfile::parseWholeNumber(line);
    if (!value || *value < 1 || *value > PiecePlan::kMostPieces) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

// Line 4 as a folder ending in "/".
std::string folderOf(const std::string& line) {
    std::string folder = textfile::trim(line);
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

net::BrowserSession sessionOf(const DefinitionFile& definition, const std::string& path) {
    net::BrowserSession session;
    const auto extra = [&](const char* key) {
        const auto found = definition.extras.find(key);
        return found == definition.extras.end() ? std::string() : found->second;
    };
    session.referrer = extra(DefinitionFile::kReferrer);
    session.userAgent = extra(DefinitionFile::kUserAgent);
    if (const auto cookies = CookieFile::read(CookieFile::pathFor(path))) {
        session.cookieUrl = net::Url::parse(cookies->url);
        if (session.cookieUrl) {
            session.cookies = cookies->cookies;
        }
    }
    return session;
}

}  // namespace

void StartProcedure::run() {
    // Read once: only a file that cannot be read is asked after.
    const std::string path = download_.setup().settingsPath();
    const auto settings = SettingsFile::read(path);
    if (!settings && !FileExists(path)) {
        download_.showError(messages::kConfigMissing);
        return;
    }
    takeBufferSize(settings);
    if (download_.state() == DownloadState::Waiting) {
        fresh();
    } else if (download_.state() == DownloadState::Paused) {
        resume();
    }
}

void StartProcedure::takeBufferSize(const std::optional<SettingsFile::Values>& settings) {
    if (!settings || !settings->buffer) {
        return;  // keeps the size it had
    }
    if (const auto bytes = SettingsFile::bufferBytes(*settings->buffer)) {
        download_.record().bufferSize = *bytes;
    }
}

bool StartProcedure::takeDefinition(const DefinitionFile& definition) {
    TransferRecord& rec = download_.record();
    const std::string& name = download_.text();
    rec.fileName = definition.fileName;
    rec.defURL = definition.url;
    rec.saveFolder = definition.saveFolder;
    rec.defPieces = definition.pieces;
    rec.defExtras = definition.extras;
    download_.remember(definition.url, definition.saveFolder, definition.extras);
    rec.session = sessionOf(definition, download_.definitionPath());
    rec.targetPath = folderOf(definition.saveFolder) + name;
    rec.source = net::Url::parse(definition.url);
    rec.fetchUrl = rec.source;
    rec.oneConnection = false;
    rec.sizeUnknown = false;
    rec.probeFailures = rec.probeRetryIn = 0;
    if (!rec.source) {
        // Nothing can be fetched from it: the row fails as an unanswered first request does.
        download_.failStart(download_.quiet()
                                ? std::nullopt
                                : std::optional<std::string>(messages::kCannotDownload));
        return false;
    }
    const std::string checksum = download_.checksumText();
    rec.checksum = checksum.empty() ? std::nullopt : Checksum::parse(checksum);
    if (!checksum.empty() && !rec.checksum) {
        download_.showError(messages::badStoredChecksum(name, checksum));
        return false;
    }
    if (download_.setup().targetBusy && download_.setup().targetBusy(download_, rec.targetPath)) {
        download_.showError(messages::targetBusy(rec.targetPath));
        return false;
    }
    if (!download_.acquireLock()) {
        download_.showError(messages::heldElsewhere(name));
        return false;
    }
    return true;
}

std::optional<DefinitionFile> StartProcedure::readDefinition() {
    auto definition = DefinitionFile::read(download_.definitionPath());
    if (!definition) {
        download_.showError(messages::kDefinitionMissing);
    }
    return definition;
}

void StartProcedure::fresh() {
    TransferRecord& rec = download_.record();
    const auto definition = readDefinition();
    if (!definition) {
        return;
    }
    const auto pieces = pieceCount(definition->pieces);
    if (definition->lineCount < 5 || !pieces) {
        download_.showError(messages::kStartFailed);
        return;
    }
    if (!takeDefinition(*definition)) {
        return;
    }
    // A progress file is written before an earlier start made the target:
    // that start's own, whatever became of it.
    rec.leftover = TargetFile::occupied(rec.targetPath) && FileExists(rec.progressPath);
    if (TargetFile::occupied(rec.targetPath) && !rec.leftover) {
        download_.endTransfer();
        download_.showError(messages::targetTaken(rec.targetPath));
        return;
    }
    rec.plan = PiecePlan{};
    rec.plan.pieces = *pieces;
    rec.stretches.clear();
    rec.followOnPieces = false;
    rec.downloading = true;
    rec.probing = true;
    download_.began();
    download_.connect(0);
}

void StartProcedure::resume() {
    TransferRecord& rec = download_.record();
    const auto definition = readDefinition();
    if (!definition) {
        return;
    }
    const auto pieces = pieceCount(definition->pieces);
    const auto size = textfile::parseWholeNumber(definition->size);
    const auto pieceSize = textfile::parseWholeNumber(definition->pieceSize);
    const auto remainder = textfile::parseWholeNumber(definition->remainder);
    PiecePlan plan;
    if (pieces && size && pieceSize && remainder) {
        plan = PiecePlan{*pieces, *size, *pieceSize, *remainder};
    }
    if (definition->lineCount < 8 || !plan.consistent()) {
        download_.showError(messages::kStartFailed);
        return;
    }
    // Everything that can refuse the resume is asked before anything changes.
    auto counts = ProgressFile::read(rec.progressPath, plan);
    if (!counts) {
        download_.showError(messages::kDefinitionMissing);
        return;
    }
    if (!takeDefinition(*definition)) {
        return;
    }
    rec.plan = plan;
    std::string reason;
    if (!download_.target().open(rec.targetPath, false, &reason)) {
        download_.endTransfer();
        download_.showError(messages::fileError(rec.targetPath, reason));
        return;
    }
    // Counted bytes the target file does not hold (it was deleted or cut
    // short meanwhile) are fetched again.
    bool recount = false;
    for (int i = 1; i <= plan.pieces; ++i) {
        auto& count = (*counts)[static_cast<std::size_t>(i - 1)];
        const std::int64_t held = download_.target().heldFrom(plan.start(i), count);
        recount = recount || held != count;
        count = held;
    }
    rec.layOutPieces(*counts);
    // No first answer told where the address leads: the pieces find it themselves.
    rec.followOnPieces = true;
    rec.downloading = true;
    rec.probing = false;
    download_.began();
    download_.setState(DownloadState::Downloading);
    if (recount && !download_.rewriteProgress(&reason)) {
        download_.failOnFile(rec.progressPath, reason);
        return;
    }
    for (int i = 1; i <= plan.pieces; ++i) {
        if (!rec.stretch(i).done) {
            download_.connect(i);
        }
    }
    if (rec.allPiecesDone()) {
        download_.runCompletion();
    }
}

}  // namespace tandu
