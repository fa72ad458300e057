#include "transfer/ProgressTimer.h"

#include "transfer/Download.h"
#include "text/FormatTimeLeft.h"

namespace tandu {

void ProgressTimer::tick() {
    TransferRecord& rec = engine_.record();
    if (!rec.downloading || rec.probing) {
        return;
    }
    const NumberText& numbers = engine_.setup().numbers;
    rec.tickBytes = 0;
    ++rec.ticks;
    rec.totalReceived = 0;
    rec.totalBuffered = 0;
    for (Stretch& p : rec.stretches) {
        p.speed = p.received - p.lastReceived;
        rec.tickBytes += p.speed;
        rec.totalReceived += p.received;
        rec.totalBuffered += p.buffered();
        if (!p.done && !rec.sizeUnknown) {
            p.secondsLeft = NumberText::R(static_cast<double>(p.length - p.received) /
                                          static_cast<double>(p.speed + 1));
        }
        p.lastReceived = p.received;
    }
    rec.secondsLeft = NumberText::R(static_cast<double>(rec.plan.fileSize - rec.totalReceived) /
                                    static_cast<double>(rec.tickBytes + 1));
    Download::RowTexts& row = engine_.rowTexts();
    row.speed = numbers.kb(rec.tickBytes) + "KB/s";
    if (rec.sizeUnknown) {
        // No length was given: the end is known only when it comes.
        row.size = numbers.kb(rec.totalReceived) + "/???KB";
        row.eta = "???";
    } else {
        row.size = numbers.kb(rec.totalReceived) + "/" + numbers.kb(rec.plan.fileSize) + "KB";
        // Nothing came this second: no time can be told.
        row.eta = rec.tickBytes > 0 ? FormatTimeLeft(rec.secondsLeft) : "???";
    }
    engine_.changed();
}

std::string ProgressTimer::tooltip() const {
    return "Downloading " + engine_.text() + " @ " +
           engine_.setup().numbers.kb(engine_.record().tickBytes) + "KB/s";
}

}  // namespace tandu
