#include <gtest/gtest.h>

#include <filesystem>

#include "EngineHarness.h"
#include "transfer/DownloadQueue.h"

namespace tandu {
namespace {

using test::FakeFetcher;
using test::FakeFetchRecord;

// Downloads, a list and a queue with no window: what a front-end sees.
class Engine : public DownloadListObserver {
public:
    explicit Engine(int atOnce) {
        test::writeFile(folder / "config.cfg", "1.0\r\n4\r\n\r\n1KB\r\n");
        std::filesystem::create_directories(folder / "dl");
        list.setObserver(this);
        list.setup().ranges = test::wholeRanges();
        list.setEndListener([this](Download& d) { queue.downloadEnded(d); });
        list.setup().lastByteIn = [this](Download&) { queue.lastByteIn(); };
        queue.setLimit(atOnce);
        queue.allMode = [] { return true; };
        queue.onFinished = [this](const std::string&) { ++finished; };
    }
    Download& add(const std::string& file, const std::string& line1, const std::string& pieces) {
        const std::string path = folder.definitions() + file + ".def";
        DefinitionFile::writeForm1(path, line1, "http://h/" + line1, folder / "dl/", pieces);
        return list.add(path);
    }
    FakeFetchRecord& ws(Download& d, int i) { return test::pieceFetch(host.fetcher, d, i); }
    void answerFirst(Download& d, std::size_t size) {
        for (std::size_t k = 0; k < host.fetcher.count(); ++k) {
            FakeFetchRecord& r = host.fetcher.fetch(k);
            if (r.request.url.text() == d.record().defURL && !r.destroyed) {
                return FakeFetcher::head(r, test::rangeAnswer(static_cast<std::int64_t>(size)));
            }
        }
    }
    std::string target(const std::string& name) { return test::readFile(folder / ("dl/" + name)); }

    void rowAdded(int) override {}
    void rowsRemoved(const std::vector<int>&) override {}
    void downloadStarted(Download&) override {}
    void downloadChanged(Download&) override {}
    void downloadMessage(Download&, const UserMessage& m) override { texts.push_back(m.text); }
    void downloadEnded(Download&) override { finishedWhileRunning += list.runningCount() > 0; }

    test::TempFolder folder;
    test::HeadlessPlatform host;
    DownloadList list{
        DownloadSetup{host.fetcher, host.locks, host.hasher, host.background,
                      NumberText(","), folder.path(), {}, {}, {}}};
    DownloadQueue queue{list};
    std::vector<std::string> texts;
    int finished = 0;
    int finishedWhileRunning = 0;
};

// Rows are their definition files: two files naming the same target are two
// rows; the second cannot start while the first writes, and each cancels alone.
TEST(Queue, TwoRowsForOneTargetNeverRunTogether) {
    Engine e(2);
    Download& x = e.add("x", "same.bin", "1");
    Download& y = e.add("y", "same.bin", "1");
    ASSERT_NE(x.name(), y.name());
    ASSERT_TRUE(x.start(false));
    EXPECT_FALSE(y.start(false));
    EXPECT_EQ(y.state(), DownloadState::Waiting);
    ASSERT_EQ(e.texts.size(), 1u);
    EXPECT_NE(e.texts[0].find("already being written by another running download"),
              std::string::npos);
    EXPECT_TRUE(e.list.cancel(e.list.indexOf(y)).cancelled);
    EXPECT_TRUE(test::fileExists(e.folder.definitions() + "x.def"));
    EXPECT_FALSE(test::fileExists(e.folder.definitions() + "y.def"));
    EXPECT_TRUE(x.running());
    // Cancelling a running one stops it first and takes its files; the one
    // beside it goes on.
    Download& z = e.add("z", "z.bin", "1");
    ASSERT_TRUE(z.start(false));
    e.answerFirst(x, 4);
    e.answerFirst(z, 4);
    EXPECT_TRUE(e.list.cancel(e.list.indexOf(x)).cancelled);
    EXPECT_EQ(e.list.count(), 1);
    EXPECT_FALSE(test::fileExists(e.folder / "dl/same.bin"));
    ASSERT_TRUE(z.running());
    test::serve(e.ws(z, 1), "zzzz");
    EXPECT_EQ(z.state(), DownloadState::Completed);
    EXPECT_EQ(e.target("z.bin"), "zzzz");
    EXPECT_TRUE(e.host.locks.held.empty());
}

// A row that cannot start, or whose every connection fails, is passed over;
// the run goes on and ends once.
TEST(Queue, RowsThatCannotGoOnArePassedOver) {
    Engine e(2);
    Download& gone = e.add("gone", "gone", "1");
    Download& broken = e.add("broken", "broken", "2");
    Download& good = e.add("good", "good", "1");
    Download& later = e.add("later", "later", "1");
    std::filesystem::remove(gone.definitionPath());  // another process took it
    e.queue.start(nullptr);
    EXPECT_EQ(e.texts.at(0), "Definition file not found. Please add the URL again.");
    EXPECT_TRUE(broken.probing() && good.probing());
    e.answerFirst(broken, 100);
    FakeFetcher::fail(e.ws(broken, 1), net::FetchFailure::Kind::Refused, "Connection refused");
    EXPECT_TRUE(broken.running());
    FakeFetcher::head(e.ws(broken, 2), "HTTP/1.1 404 Gone\r\n\r\n");
    EXPECT_EQ(broken.state(), DownloadState::Error);
    EXPECT_TRUE(later.probing());
    EXPECT_TRUE(good.running());  // undisturbed
    for (Download* d : {&good, &later}) {
        e.answerFirst(*d, 3);
        test::serve(e.ws(*d, 1), "xyz");
        EXPECT_EQ(d->state(), DownloadState::Completed);
    }
    EXPECT_EQ(e.finished, 1);
    EXPECT_EQ(e.finishedWhileRunning, 2);  // broken and good ended beside another
    // What broken fetched stays counted: its progress file is there to resume.
    EXPECT_TRUE(test::fileExists(e.folder.definitions() + "broken.dwn"));
}

// One whose last byte is in waits only for the disk: the next one starts at
// once, and no more than as many again wait for the disk.
TEST(Queue, TheNextStartsWhileTheLastOneWaitsForTheDisk) {
    Engine e(1);
    e.host.background.hold = true;
    Download& a = e.add("a", "a.bin", "1");
    Download& b = e.add("b", "b.bin", "1");
    Download& c = e.add("c", "c.bin", "1");
    e.queue.start(nullptr);
    e.answerFirst(a, 3);
    test::serve(e.ws(a, 1), "aaa");
    EXPECT_EQ(a.state(), DownloadState::Downloading);
    EXPECT_TRUE(b.probing());
    e.answerFirst(b, 3);
    test::serve(e.ws(b, 1), "bbb");
    EXPECT_FALSE(c.running());
    e.host.background.runHeld();
    EXPECT_EQ(a.state(), DownloadState::Completed);
    EXPECT_EQ(b.state(), DownloadState::Completed);
    EXPECT_TRUE(c.probing());
    e.answerFirst(c, 3);
    test::serve(e.ws(c, 1), "ccc");
    EXPECT_EQ(e.finished, 0);
    e.host.background.runHeld();
    EXPECT_EQ(c.state(), DownloadState::Completed);
    EXPECT_EQ(e.finished, 1);
    e.host.background.runHeld();
    EXPECT_EQ(e.target("a.bin") + e.target("b.bin") + e.target("c.bin"), "aaabbbccc");
    EXPECT_TRUE(e.host.locks.held.empty());
}

}  // namespace
}  // namespace tandu
