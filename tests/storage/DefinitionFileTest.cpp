#include <gtest/gtest.h>

#include "TempFolder.h"
#include "storage/DefinitionFile.h"
#include "storage/TextFile.h"

namespace tandu {
namespace {

TEST(DefinitionFile, BothFormsExactlyAsGivenShortFilesReadAsFarAsTheyGo) {
    test::TempFolder folder;
    const std::string path = folder.definitions() + "f.zip.def";
    ASSERT_TRUE(DefinitionFile::writeForm1(path, "f.zip", " http://h/f.zip ", "/tmp/", "4"));
    EXPECT_EQ(test::readFile(path), "f.zip\r\nWaiting\r\n http://h/f.zip \r\n/tmp/\r\n4\r\n");
    auto read = DefinitionFile::read(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(std::to_string(read->lineCount) + read->url + read->pieces, "5 http://h/f.zip 4");
    // Lone LF ends lines too; a short file reads as far as it goes.
    test::writeFile(path, "a\nWaiting\nhttp://x/a");
    read = DefinitionFile::read(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->lineCount, 3);
    EXPECT_EQ(read->url + read->saveFolder, "http://x/a");
    EXPECT_FALSE(DefinitionFile::read(folder / "missing.def"));

    // The second form carries the numbers with blanks around.
    DefinitionFile file;
    file.fileName = "f.zip";
    file.url = "http://h/f.zip";
    file.saveFolder = "/tmp/";
    file.pieces = "3";
    ASSERT_TRUE(file.writeForm2(path, 1000, 333, 1));
    EXPECT_EQ(test::readFile(path),
              "f.zip\r\nDownloading\r\nhttp://h/f.zip\r\n/tmp/\r\n3\r\n 1000 \r\n 333 \r\n 1 \r\n");
    read = DefinitionFile::read(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(std::to_string(read->lineCount) + read->state, "8Downloading");
    EXPECT_EQ(textfile::parseWholeNumber(read->size), 1000);
    // Sizes beyond 32 bits are written and read exactly.
    ASSERT_TRUE(file.writeForm2(path, 5'000'000'000, 1'250'000'000, 0));
    EXPECT_EQ(textfile::parseWholeNumber(DefinitionFile::read(path)->size), 5'000'000'000);

    // Newer lines follow line 8, padded in form 1; an older reader sees its
    // lines where they always were, and both forms read them back.
    file.extras = {{"Limit", "500"}, {"Checksum", "sha256=ab"}};
    test::writeFile(path, "");
    ASSERT_TRUE(textfile::writeLinesAtomically(path, file.form1Lines()));
    EXPECT_EQ(test::readFile(path),
              "f.zip\r\nWaiting\r\nhttp://h/f.zip\r\n/tmp/\r\n3\r\n\r\n\r\n\r\n"
              "Checksum: sha256=ab\r\nLimit: 500\r\n");
    EXPECT_EQ(DefinitionFile::read(path)->extras, file.extras);
    ASSERT_TRUE(file.writeForm2(path, 1000, 333, 1));
    read = DefinitionFile::read(path);
    EXPECT_EQ(read->size + read->remainder, " 1000  1 ");
    EXPECT_EQ(read->extras, file.extras);
}

TEST(TextFile, WholeNumbersAreStrict) {
    EXPECT_EQ(textfile::parseWholeNumber(" 12345 "), 12345);
    EXPECT_EQ(textfile::parseWholeNumber("-5"), -5);
    EXPECT_EQ(textfile::parseWholeNumber("+5"), 5);
    for (const char* bad : {"", "   ", "12a", "1 2", "++5", "99999999999999999999"}) {
        EXPECT_FALSE(textfile::parseWholeNumber(bad)) << bad;
    }
}

}  // namespace
}  // namespace tandu
