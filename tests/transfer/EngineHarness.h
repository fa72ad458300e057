#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "TestProgram.h"
#include "storage/DefinitionFile.h"
#include "storage/DownloadRows.h"
#include "storage/TextFile.h"
#include "text/FormatTimeLeft.h"
#include "transfer/DownloadList.h"
#include "window/frmMain.h"

namespace tandu::test {

// The running fetch for piece i of `d`.
inline FakeFetchRecord& pieceFetch(FakeFetcher& fetcher, const Download& d, int i) {
    const Stretch& p = d.record().stretch(i);
    for (std::size_t k = fetcher.count(); k-- > 0;) {
        FakeFetchRecord& r = fetcher.fetch(k);
        if (r.request.kind == net::FetchRequest::Kind::Get && r.request.range &&
            r.request.range->first >= p.start && r.request.range->first <= p.firstWanted() &&
            !r.destroyed && r.request.url.text() == d.record().fetchUrl->text()) {
            return r;
        }
    }
    throw std::runtime_error("no fetch for piece " + std::to_string(i));
}

inline std::string partialHeader(std::int64_t first, std::int64_t last, std::int64_t total) {
    return "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + std::to_string(first) + "-" +
           std::to_string(last) + "/" + std::to_string(total) +
           "\r\nContent-Length: " + std::to_string(last - first + 1) + "\r\n\r\n";
}

// Answers a ranged GET from `file` as a good server does.
inline void serve(FakeFetchRecord& r, const std::string& file) {
    const auto first = r.request.range->first;
    const auto last = r.request.range->last.value_or(static_cast<std::int64_t>(file.size()) - 1);
    FakeFetcher::head(r, partialHeader(first, last, static_cast<std::int64_t>(file.size())));
    FakeFetcher::body(r, file.substr(static_cast<std::size_t>(first),
                                     static_cast<std::size_t>(last - first + 1)));
    FakeFetcher::end(r);
}

// The head of the answer to a fresh start's first request; its body is piece 1's.
inline void answerFirst(FakeFetcher& fetcher, const std::string& raw) {
    FakeFetcher::head(fetcher.fetch(fetcher.count() - 1), raw);
}

// A server that sends whole files only.
inline std::string sizeAnswer(std::int64_t size) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n";
}

// A server that cuts ranges, to a first request that asks for the whole file.
inline std::string rangeAnswer(std::int64_t size) {
    return partialHeader(0, size - 1, size);
}

// A file of that size whose bytes tell their position apart.
inline std::string patterned(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    }
    return bytes;
}

// The window with a fake network, and the moves a test makes around a
// transfer: rows added in a chosen order, the start button, answers played.
class EngineHarness {
public:
    // The buffer setting, e.g. "1KB" = 1000 bytes per connection.
    explicit EngineHarness(const std::string& buffer = "1KB") {
        program.writeSettings("1.0\r\n4\r\n\r\n" + buffer + "\r\n");
        std::filesystem::create_directories(downloads());
        load();
    }
    // The program as it starts again, e.g. after a kill.
    frmMain& load() {
        f = &program.load();
        f->downloads().setup().ranges = wholeRanges();
        f->downloads().setup().progressBatch = {std::chrono::milliseconds(0), 1};  // at once
        return *f;
    }

    // The definitions a start staged are in place, as after its first sync.
    void settle() {
        for (int row = 0; row < f->downloads().count(); ++row) {
            f->downloads().at(row).settleDefinition(nullptr);
        }
    }

    std::string downloads() const { return program.folder / "downloads/"; }
    std::string definitionPath(const std::string& name) const {
        return program.folder.definitions() + name + ".def";
    }
    std::string progressPath(const std::string& name) const {
        return program.folder.definitions() + name + ".dwn";
    }
    std::string targetPath(const std::string& name) const { return downloads() + name; }
    static std::string urlOf(const std::string& name) { return "http://www.example.org/" + name; }

    int addWaiting(const std::string& name, const std::string& pieces,
                   const std::string& url = "") {
        DefinitionFile::writeForm1(definitionPath(name), name, url.empty() ? urlOf(name) : url,
                                   downloads(), pieces);
        f->downloads().add(definitionPath(name));
        return f->lstDown.rowCount() - 1;
    }
    // A "Paused" row with its progress file lines.
    int addPaused(const std::string& name, int pieces, std::int64_t size,
                  const std::vector<std::string>& progress) {
        DefinitionFile definition;
        definition.fileName = name;
        definition.url = urlOf(name);
        definition.saveFolder = downloads();
        definition.pieces = std::to_string(pieces);
        definition.writeForm2(definitionPath(name), size, size / pieces, size % pieces);
        textfile::writeLines(progressPath(name), progress);
        f->downloads().add(definitionPath(name));
        return f->lstDown.rowCount() - 1;
    }

    void start(int row) {
        row_ = row;
        f->lstDown.clickRow(row);
        f->cmbDownSel.click();
    }

    FakeFetcher& fetcher() { return program.host.fetcher; }
    FakeFetchRecord& newest() { return fetcher().fetch(fetcher().count() - 1); }
    // Piece i of the row started last.
    FakeFetchRecord& ws(int i) { return pieceFetch(fetcher(), f->downloads().at(row_), i); }
    void answerFirst(const std::string& raw) { test::answerFirst(fetcher(), raw); }
    void answerFirstWithSize(std::int64_t size) { answerFirst(rangeAnswer(size)); }

    std::string progress(const std::string& name) const {
        std::string joined;
        for (const auto& line :
             textfile::readLines(progressPath(name)).value_or(std::vector<std::string>{})) {
            joined += line + " ";
        }
        return joined;
    }
    std::string state(int row) const { return f->lstDown.cell(row, 2); }
    const std::vector<ShownMessage>& messages() const { return program.host.ui.messages; }

    TestProgram program;
    frmMain* f = nullptr;

private:
    int row_ = 0;
};

}  // namespace tandu::test
