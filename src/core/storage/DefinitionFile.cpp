#include "storage/DefinitionFile.h"

#include "storage/TextFile.h"

namespace tandu {

std::optional<DefinitionFile> DefinitionFile::read(const std::string& path) {
    auto lines = textfile::readLines(path, textfile::kDefinitionLimit);
    if (!lines) {
        return std::nullopt;
    }
    DefinitionFile file;
    file.lineCount = static_cast<int>(lines->size());
    std::string* fields[] = {&file.fileName, &file.state, &file.url,       &file.saveFolder,
                             &file.pieces,   &file.size,  &file.pieceSize, &file.remainder};
    for (std::size_t i = 0; i < std::size(fields) && i < lines->size(); ++i) {
        *fields[i] = (*lines)[i];
    }
    for (std::size_t i = kExtrasLine - 1; i < lines->size(); ++i) {
        const std::string& line = (*lines)[i];
        const std::size_t colon = line.find(": ");
        if (colon != std::string::npos && colon > 0) {
            file.extras.emplace(line.substr(0, colon), line.substr(colon + 2));
        }
    }
    return file;
}

void DefinitionFile::appendExtras(std::vector<std::string>& lines) const {
    if (extras.empty()) {
        return;
    }
    lines.resize(kExtrasLine - 1);
    for (const auto& [key, value] : extras) {
        lines.push_back(key + ": " + value);
    }
}

std::string DefinitionFile::numberLine(std::int64_t value) {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "x" + string.
    std::string line(value < 0 ? "" : " ");
    line += std::to_string(value);
    line += ' ';
    return line;
}

std::vector<std::string> DefinitionFile::form1Lines() const {
    std::vector<std::string> lines{fileName, kWaiting, url, saveFolder, pieces};
    appendExtras(lines);
    return lines;
}

std::vector<std::string> DefinitionFile::form2Lines(std::int64_t fileSize,
                                                    std::int64_t pieceSizeBytes,
                                                    std::int64_t remainderBytes) const {
    std::vector<std::string> lines{fileName,
                                   kDownloading,
                                   url,
                                   saveFolder,
                                   pieces,
                                   numberLine(fileSize),
                                   numberLine(pieceSizeBytes),
                                   numberLine(remainderBytes)};
    appendExtras(lines);
    return lines;
}

bool DefinitionFile::writeForm1(const std::string& path, const std::string& name,
                                const std::string& url, const std::string& folder,
                                const std::string& pieces, std::string* reason) {
    DefinitionFile file;
    file.fileName = name;
    file.url = url;
    file.saveFolder = folder;
    file.pieces = pieces;
    return textfile::writeLinesAtomically(path, file.form1Lines(), reason);
}

bool DefinitionFile::setExtra(const std::string& path, const std::string& key,
                              const std::string& value, std::string* reason) {
    auto file = read(path);
    if (!file) {
        if (reason) {
            *reason = "the definition file cannot be read";
        }
        return false;
    }
    if (value.empty()) {
        file->extras.erase(key);
    } else {
        file->extras[key] = value;
    }
    std::vector<std::string> lines{file->fileName, file->state, file->url, file->saveFolder,
                                   file->pieces};
    if (file->state == kDownloading && file->lineCount >= 8) {
        lines.insert(lines.end(), {file->size, file->pieceSize, file->remainder});
    }
    file->appendExtras(lines);
    return textfile::writeLinesAtomically(path, lines, reason);
}

bool DefinitionFile::writeForm2(const std::string& path, std::int64_t fileSize,
                                std::int64_t pieceSizeBytes, std::int64_t remainderBytes,
                                std::string* reason) const {
    return textfile::writeLinesAtomically(path, form2Lines(fileSize, pieceSizeBytes, remainderBytes),
                                          reason);
}

std::optional<std::function<bool(std::string*)>> DefinitionFile::stageForm2(
    const std::string& path, std::int64_t fileSize, std::int64_t pieceSizeBytes,
    std::int64_t remainderBytes, std::string* reason) const {
    return textfile::stageLinesAtomically(
        path, form2Lines(fileSize, pieceSizeBytes, remainderBytes), reason);
}

}  // namespace tandu
