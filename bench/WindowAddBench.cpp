// Adds many downloads through the real window's Add URL List and Add URL
// Sequence dialogs, then starts the program again over all of them, and
// prints for each step its wall time, how often the download list painted
// meanwhile and the longest time the event loop had no turn (the longest
// the window could not repaint or take input).
//
//   build/bench-bin/tandu_bench_window [COUNT]        (default 10000)

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "LiveWindow.h"

namespace {

using namespace tandu::test;

// Replaces the text of a line edit (or an editable combo box) as typed keys.
void typeInto(QWidget* box, const QString& text) {
    if (auto* combo = qobject_cast<QComboBox*>(box)) {
        box = combo->lineEdit();
    }
    box->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

// Counts paints of one widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

// The longest stretch between two turns of the event loop.
class LoopWatch {
public:
    LoopWatch() {
        QObject::connect(&timer_, &QTimer::timeout,
                         [this] { longest_ = std::max(longest_, sinceLast_.restart()); });
    }
    void start() {
        longest_ = 0;
        sinceLast_.start();
        timer_.start(0);
    }
    qint64 stop() {
        timer_.stop();
        return std::max(longest_, sinceLast_.elapsed());
    }

private:
    QTimer timer_;
    QElapsedTimer sinceLast_;
    qint64 longest_ = 0;
};

void report(const char* step, int rows, qint64 wallMs, int paints, qint64 longestMs) {
    std::printf("%-30s %6d rows %8.2f s %6d paints   longest without a turn %5lld ms\n", step, rows,
                static_cast<double>(wallMs) / 1000.0, paints, static_cast<long long>(longestMs));
}

// Runs `act`, which opens a dialog whose OK adds the downloads, and reports it.
void measure(LiveWindow& live, const char* step, const std::function<void()>& act) {
    auto* list = live.need<QTreeView>("lstDown");
    PaintCounter counter(list->viewport());
    LoopWatch watch;
    QElapsedTimer wall;
    const int before = list->model()->rowCount();
    wall.start();
    watch.start();
    act();
    const qint64 longest = watch.stop();
    report(step, list->model()->rowCount() - before, wall.elapsed(), counter.paints, longest);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;

    LiveWindow live;
    const std::string downloads = live.folder / "dl";
    std::filesystem::create_directories(downloads);
    live.writeSettings("1.0\r\n4\r\n" + downloads + "\r\n512KB\r\n");
    live.open();

    QString lines;
    for (int i = 1; i <= count; ++i) {
        lines += QStringLiteral("http://bench.invalid/files/f%1.bin\n").arg(i);
    }
    measure(live, "Add URL List (pasted)", [&] {
        live.driver.then("frmList", [&](QWidget* dialog) {
            need<QPlainTextEdit>(dialog, "txtList")->setPlainText(lines);
            click(need<QPushButton>(dialog, "cmbOK"));
        });
        live.action("menList")->trigger();
    });
    measure(live, "Add URL Sequence", [&] {
        live.driver.then("frmSequence", [&](QWidget* dialog) {
            typeInto(need<QWidget>(dialog, "txtURL"), "http://bench.invalid/s#.bin");
            typeInto(need<QWidget>(dialog, "txtStart"), "1");
            typeInto(need<QWidget>(dialog, "txtEnd"), QString::number(count));
            typeInto(need<QWidget>(dialog, "txtDigits"), "5");
            click(need<QPushButton>(dialog, "cmbOK"));
        });
        live.action("menSeq")->trigger();
    });
    {
        // The list is made anew: its paints are not counted.
        LoopWatch watch;
        QElapsedTimer wall;
        wall.start();
        watch.start();
        live.close();
        live.open();
        const qint64 longest = watch.stop();
        report("Start with every row", live.need<QTreeView>("lstDown")->model()->rowCount(),
               wall.elapsed(), 0, longest);
    }
    if (!live.driver.boxes.empty()) {
        std::fprintf(stderr, "a message box came up: %s\n",
                     live.driver.boxes.front().text.toStdString().c_str());
        return 1;
    }
    return 0;
}
