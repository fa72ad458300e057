#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "TestProgram.h"
#include "services/ListExport.h"

namespace tandu {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

class ExportListTest : public ::testing::Test {
protected:
    void SetUp() override { program.writeSettings(); }
    void addDefinition(const std::string& name, const std::string& contents) {
        writeFile(program.folder.definitions() + name + ".def", contents);
    }
    std::map<std::string, std::string> definitionFiles() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(program.folder.definitions())) {
            files[entry.path().filename().string()] = readFile(entry.path().string());
        }
        return files;
    }
    void exportTo(const std::string& path) {
        program.host.ui.saveAnswers.push_back(path);
        program.main->menExport.click();
    }
    test::HeadlessUi& ui() { return program.host.ui; }

    test::TestProgram program;
    test::TempFolder elsewhere;
};

// Short definition files are skipped and named; nothing is ever written into
// a definition file, whatever path is chosen.
TEST_F(ExportListTest, ShortDefinitionFilesAreSkippedAndNoDefinitionFileIsWritten) {
    const std::string good = "good\r\nWaiting\r\nhttp://host/good\r\n/tmp/\r\n4\r\n";
    addDefinition("good", good);
    addDefinition("short", "short\r\nWaiting\r\n");
    fs::create_directory(program.folder.definitions() + "folder.def");
    program.load();
    const auto before = definitionFiles();
    const std::string target = elsewhere / "urls.txt";
    exportTo(target);
    EXPECT_EQ(readFile(target), "http://host/good\r\n");
    ASSERT_EQ(ui().messages.size(), 1u);
    EXPECT_NE(ui().messages[0].text.find(program.folder.definitions() + "short.def"),
              std::string::npos);
    EXPECT_EQ(ui().messages[0].text.find("folder.def"), std::string::npos);
    // Chosen inside the definitions folder: refused.
    exportTo(program.folder.definitions() + "good.def");
    ASSERT_EQ(ui().messages.size(), 2u);
    EXPECT_NE(ui().messages[1].text.find("definitions folder"), std::string::npos);
    // A hard link to a definition file elsewhere: the link is replaced, the file is not.
    const std::string link = elsewhere / "link.txt";
    fs::create_hard_link(program.folder.definitions() + "good.def", link);
    exportTo(link);
    EXPECT_EQ(readFile(link), "http://host/good\r\n");
    EXPECT_EQ(definitionFiles(), before);
}

TEST_F(ExportListTest, ASecondExportWhileOneRunsIsIgnored) {
    // Enough downloads for the export to give the event loop a few turns.
    std::string expected;
    for (int i = 0; i < 200; ++i) {
        const std::string name = "d" + std::to_string(i);
        addDefinition(name, name + "\r\nWaiting\r\nhttp://host/x\r\n/tmp/\r\n4\r\n");
        expected += "http://host/x\r\n";
    }
    program.load();
    int nested = 0;
    ui().onPendingEvents = [&] {
        ++nested;
        exportTo(elsewhere / "nested.txt");
    };
    exportTo(elsewhere / "outer.txt");
    ui().onPendingEvents = nullptr;
    EXPECT_GE(nested, 2);
    EXPECT_FALSE(fs::exists(elsewhere / "nested.txt"));
    EXPECT_EQ(readFile(elsewhere / "outer.txt"), expected);
}

}  // namespace
}  // namespace tandu
