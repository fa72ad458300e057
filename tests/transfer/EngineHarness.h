#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "TestProgram.h"
#include "catalogue/DefinitionFile.h"
#include "catalogue/DownloadRows.h"
#include "catalogue/TextFile.h"
#include "shell/frmMain.h"
#include "transfer/DownloadList.h"
#include "transfer/FormatTimeLeft.h"

namespace tandu::test {

// The window with fake sockets, and the moves a test makes around a transfer:
// rows added in a chosen order, the start button, and servers played byte by byte.
class EngineHarness {
public:
    // The buffer setting, e.g. "1KB" = 1000 bytes per connection.
    explicit EngineHarness(const std::string& buffer = "1KB") {
        program.writeSettings("1.0\r\n4\r\n\r\n" + buffer + "\r\n");
        std::filesystem::create_directories(downloads());
        reload();
    }

    // Starts the program again on the same folder: the list comes from the files.
    void reload() { f = &program.load(); }

    std::string downloads() const { return program.folder / "downloads/"; }
    std::string definitionPath(const std::string& name) const {
        return program.folder.definitions() + name + ".def";
    }
    std::string progressPath(const std::string& name) const {
        return program.folder.definitions() + name + ".dwn";
    }
    std::string targetPath(const std::string& name) const { return downloads() + name; }
    static std::string urlOf(const std::string& name) { return "http://www.example.org/" + name; }

    // A "Waiting" row, appended.
    int addWaiting(const std::string& name, const std::string& pieces) {
        DefinitionFile::writeForm1(definitionPath(name), name, urlOf(name), downloads(), pieces);
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
        base_ = sockets().created().size();
        f->lstDown.clickRow(row);
        f->cmbDownSel.click();
        ws0();
        noteProbeSocket(row);
    }
    // Starts without selecting: "Download all" picks the row.
    void pressStart() {
        base_ = sockets().created().size();
        f->cmbDownSel_Click();
        ws0();
        noteProbeSocket(f->lstDown.selectedIndex());
    }
    // A download's first start makes its WS(0) before WS(1)..WS(n).
    void noteProbeSocket(int row) {
        if (row >= 0 && row < f->downloads().count() && sockets().created().size() > base_ &&
            sockets().recordOf(f->downloads().at(row).socket(0)) == &sockets().socket(base_)) {
            ++base_;
        }
    }

    FakeSocketFactory& sockets() { return program.host.sockets; }
    // WS(0) of the last fresh start.
    FakeSocketRecord& ws0() {
        for (int row = 0; row < f->downloads().count(); ++row) {
            Download& d = f->downloads().at(row);
            if (d.probing()) {
                lastWs0_ = sockets().recordOf(d.socket(0));
            }
        }
        return lastWs0_ != nullptr ? *lastWs0_ : none_;
    }
    // WS(i) of the transfer begun by the last start.
    FakeSocketRecord& ws(int i) {
        return sockets().socket(base_ + static_cast<std::size_t>(i) - 1);
    }
    // The last socket made (a connection made again).
    FakeSocketRecord& newest() { return *sockets().created().back(); }

    void answerProbe(const std::string& answer) {
        FakeSocketFactory::connect(ws0());
        FakeSocketFactory::data(ws0(), answer);
    }
    void answerProbeWithSize(std::int64_t size) {
        answerProbe("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n");
    }

    // The range a data connection asked for.
    static std::pair<std::int64_t, std::int64_t> rangeAsked(const FakeSocketRecord& socket) {
        const std::string marker = "Range: bytes=";
        const std::size_t at = socket.sent.rfind(marker);
        const std::size_t dash = socket.sent.find('-', at);
        const std::size_t end = socket.sent.find('\r', dash);
        return {std::stoll(socket.sent.substr(at + marker.size(), dash - at - marker.size())),
                std::stoll(socket.sent.substr(dash + 1, end - dash - 1))};
    }
    static std::string partialHeader(std::int64_t first, std::int64_t last, std::int64_t total) {
        return "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + std::to_string(first) +
               "-" + std::to_string(last) + "/" + std::to_string(total) +
               "\r\nContent-Length: " + std::to_string(last - first + 1) + "\r\n\r\n";
    }
    // Connects WS(i) and answers its request from `file` as a good server does.
    static void serve(FakeSocketRecord& socket, const std::string& file) {
        FakeSocketFactory::connect(socket);
        const auto [first, last] = rangeAsked(socket);
        FakeSocketFactory::data(socket,
                                partialHeader(first, last, static_cast<std::int64_t>(file.size())) +
                                    file.substr(static_cast<std::size_t>(first),
                                                static_cast<std::size_t>(last - first + 1)));
    }

    std::string progress(const std::string& name) const {
        auto lines = textfile::readLines(progressPath(name));
        std::string joined;
        for (const auto& line : lines.value_or(std::vector<std::string>{})) {
            joined += line + " ";
        }
        return joined;
    }
    std::string state(int row) const { return f->lstDown.cell(row, 2); }
    const std::vector<ShownMessage>& messages() const { return program.host.ui.messages; }

    // A file of that size whose bytes tell their position apart.
    static std::string patterned(std::size_t size) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
        }
        return bytes;
    }

    TestProgram program;
    frmMain* f = nullptr;

private:
    std::size_t base_ = 0;
    FakeSocketRecord* lastWs0_ = nullptr;
    FakeSocketRecord none_;
};

}  // namespace tandu::test
