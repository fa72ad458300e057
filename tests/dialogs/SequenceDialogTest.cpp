#include <gtest/gtest.h>

#include <filesystem>

#include "DialogScripts.h"
#include "services/SequenceNumbers.h"
#include "dialogs/frmSequence.h"

namespace tandu {
namespace {

using test::form1;
using test::rowTexts;

void withSequenceDialog(test::TestProgram& program, std::function<void(frmSequence&)> script) {
    test::openDialog<frmSequence>(program, &frmMain::menSeq_Click, std::move(script));
}

// Fills the boxes as a user would (each box left after typing) and presses OK.
void runSequence(test::TestProgram& program, const std::string& pattern, const std::string& start,
                 const std::string& end, const std::string& digits) {
    withSequenceDialog(program, [&](frmSequence& dialog) {
        dialog.txtURL.setText(pattern);
        dialog.txtStart.setText(start);
        dialog.txtStart.lostFocus();
        dialog.txtEnd.setText(end);
        dialog.txtEnd.lostFocus();
        dialog.txtDigits.setText(digits);
        dialog.txtDigits.lostFocus();
        dialog.cmbOK.click();
    });
}

TEST(SequenceNumbers, PaddingRoundingAndReplacement) {
    using namespace sequence;
    EXPECT_EQ(numberText(8, 2), "08");
    EXPECT_EQ(numberText(1234, 3), "1234");
    EXPECT_EQ(numberText(-5, 3), "0-5");    // the minus counts, zeros go before it
    EXPECT_EQ(numberText(5, 2.5), "05");    // at most round(2.5) - 1 = 1 zero
    EXPECT_EQ(numberText(5, 3.5), "0005");  // 3 < 3.5: a third zero
    EXPECT_EQ(numberText(5, 32767).size(), 32767u);
    EXPECT_EQ(replaceHashes("http://h/#/f#.zip", "09"), "http://h/09/f09.zip");
    EXPECT_EQ(readNumber(" 2.5 "), 2.5);
    EXPECT_EQ(readNumber("-1e2"), -100);
    for (const char* bad : {"", "abc", "1a", "0x10", "inf", "nan", "1e", ".", "--1", "1 2"}) {
        EXPECT_FALSE(readNumber(bad)) << bad;
    }
    EXPECT_EQ(toInteger16(2.5), 2);
    EXPECT_EQ(toInteger16(3.5), 4);
    EXPECT_EQ(toInteger16(-32768.5), -32768);
    EXPECT_FALSE(toInteger16(32767.5));
    EXPECT_FALSE(toInteger16(-32769));
}

TEST(SequenceDialog, EveryNumberFromStartToEndInOrderEachHashReplaced) {
    test::TestProgram program;
    const std::string folder = program.folder.path() + "/";
    program.writeSettings("1.0\r\n3\r\n" + program.folder.path() + "\r\n512KB\r\n");
    program.load();
    runSequence(program, "http://h/img#.jpg", "8", "11", "2");
    runSequence(program, "http://h/vol#/part#.zip", "5", "5", "1");  // equal: one download
    runSequence(program, "http://h/#.zip", "32766", "32767", "1");   // stops at the 16-bit end
    runSequence(program, "http://h/n#.zip", "-32768", "-32767", "1");
    EXPECT_EQ(
        rowTexts(program.main->lstDown),
        (std::vector<std::string>{"img08.jpg", "img09.jpg", "img10.jpg", "img11.jpg", "part5.zip",
                                  "32766.zip", "32767.zip", "n-32768.zip", "n-32767.zip"}));
    const std::string defs = program.folder.definitions();
    EXPECT_EQ(test::readFile(defs + "img09.jpg.def"),
              form1("img09.jpg", "http://h/img09.jpg", folder, "3"));
    EXPECT_EQ(test::readFile(defs + "part5.zip.def"),
              form1("part5.zip", "http://h/vol5/part5.zip", folder, "3"));
    EXPECT_TRUE(program.host.ui.messages.empty());
    // Too many digits: refused, the box set back to 1, nothing added.
    runSequence(program, "http://h/#.zip", "1", "2", "99999");
    EXPECT_EQ(program.host.ui.lastMessage().text,
              "Invalid number. Use 1 for no fixed digits or more fore fixed.");
    EXPECT_EQ(program.main->lstDown.rowCount(), 9);
}

}  // namespace
}  // namespace tandu
