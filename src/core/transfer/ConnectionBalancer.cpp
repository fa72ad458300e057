#include "transfer/ConnectionBalancer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "transfer/Download.h"

namespace tandu {

namespace {
// Speeds are sampled over at least this long.
constexpr std::chrono::milliseconds kSampleTime{100};
}  // namespace

bool ConnectionBalancer::splitting() const {
    const TransferRecord& rec = engine_.record();
    // A server that sends whole files never sees a helper; under a speed limit
    // the limit, not the path, sets the pace, so no connection is asked anew.
    return rec.downloading && !rec.probing && rec.rangesHonoured && !rec.oneConnection &&
           !rec.sizeUnknown && rec.pieceCount() > 1 && !engine_.rateHeld();
}

void ConnectionBalancer::connectionFree(int connection) {
    if (!splitting()) {
        return;
    }
    const int victim = slowest();
    if (victim == 0) {
        replaceCrawler();
        return;
    }
    TransferRecord& rec = engine_.record();
    if (const int last = rec.stretchOf(connection); last != 0) {
        rec.stretch(last).finalWrite = 0;  // its buffer serves the new stretch now
    }
    engine_.connect(split(victim, connection));
}

std::optional<double> ConnectionBalancer::rate(const Stretch& s) {
    if (s.done || s.headerPending || s.retryIn > 0 || s.recentRate < 0) {
        return std::nullopt;
    }
    return s.recentRate;
}

void ConnectionBalancer::sample() {
    TransferRecord& rec = engine_.record();
    const auto now = engine_.setup().clock();
    // Slow on purpose under a limit: no crawl is counted then.
    const bool held = engine_.rateHeld();
    // The fastest lately: running now, or not long ago (it fades by half a
    // second). A burst one connection had alone long ago says nothing about
    // connections that now share a path or a processor.
    const std::chrono::duration<double> sinceLast = now - rec.sampledAt;
    rec.fastestRate *= std::pow(0.5, std::max(0.0, sinceLast.count()));
    rec.sampledAt = now;
    for (Stretch& s : rec.stretches) {
        const std::chrono::duration<double> since = now - s.sampledAt;
        if (!s.done && !s.headerPending && since >= kSampleTime) {
            // Half the weight on the last stretch of time: a fast start that
            // turns into a crawl shows soon. A new request's own speed
            // replaces the one before.
            const double latest = static_cast<double>(s.received - s.sampledFrom) / since.count();
            s.recentRate = s.recentRate < 0 || s.priorRate ? latest : (s.recentRate + latest) / 2;
            s.peakRate = std::max(s.peakRate, latest);
            s.priorRate = false;
            s.sampledAt = now;
            s.sampledFrom = s.received;
        }
        rec.fastestRate = std::max(rec.fastestRate, rate(s).value_or(0));
    }
    for (Stretch& s : rec.stretches) {
        if (held || !rate(s) ||
            s.recentRate * engine_.setup().help.crawlFraction >= rec.fastestRate) {
            s.crawlingSince.reset();
        } else if (!s.crawlingSince) {
            s.crawlingSince = now;
        }
    }
}

void ConnectionBalancer::replaceLongCrawlers() {
    TransferRecord& rec = engine_.record();
    const auto now = engine_.setup().clock();
    const std::chrono::duration<double> enough(engine_.setup().help.crawlSeconds);
    const int tries = static_cast<int>(engine_.setup().retryDelays.size());
    for (int k = 1; k <= rec.stretchCount() && splitting(); ++k) {
        Stretch& s = rec.stretch(k);
        if (rate(s) && s.crawlingSince && now - *s.crawlingSince >= enough && s.failures < tries) {
            // Another request may find a better path; it counts as a retry.
            ++s.failures;
            s.nextRange = false;
            engine_.connect(k);
        }
    }
}

int ConnectionBalancer::slowest() const {
    const TransferRecord& rec = engine_.record();
    const HelpRules& rules = engine_.setup().help;
    int best = 0;
    double bestSeconds = 0;
    for (int k = 1; k <= rec.stretchCount(); ++k) {
        const Stretch& s = rec.stretch(k);
        const std::int64_t lacks = s.missing();
        if (s.done || farPart(k) < rules.floor) {
            continue;
        }
        const std::optional<double> speed = rate(s);
        if (speed ? static_cast<double>(lacks) <= rules.seconds * *speed : lacks <= rules.minimum) {
            continue;
        }
        // Not known yet: counted as standing still.
        const double seconds = static_cast<double>(lacks) / (speed.value_or(0) + 1);
        if (seconds > bestSeconds) {
            best = k;
            bestSeconds = seconds;
        }
    }
    return best;
}

std::int64_t ConnectionBalancer::farPart(int k) const {
    const TransferRecord& rec = engine_.record();
    const HelpRules& rules = engine_.setup().help;
    const Stretch& s = rec.stretch(k);
    const std::optional<double> speed = rate(s);
    // The owner keeps its share of what it lacks by its speed against the
    // fastest one's, which the helper may well have: half when both are alike.
    const double share = speed && rec.fastestRate > 0 ? *speed / (*speed + rec.fastestRate) : 0.5;
    const std::int64_t keep =
        s.received + static_cast<std::int64_t>(std::ceil(static_cast<double>(s.missing()) * share));
    std::int64_t floor = s.received;
    if (engine_.fetching(k)) {
        floor = s.askedTo;
        // A request far slower than the fastest that would still take long
        // gives up its far part, all but what the server may have sent
        // already: a moment's worth at its speed, or what three round trips
        // bring at its own best (a connection that was fast keeps that much
        // queued on the way; one slow from the start, little). Cut short, it
        // ends there.
        const double ahead =
            std::max(rules.keepSeconds * speed.value_or(0),
                     3 * rec.shortestTrip * std::max(s.peakRate, speed.value_or(0)));
        const double left = static_cast<double>(s.askedTo - s.received);
        const bool slow = speed && *speed * rules.cutFraction < rec.fastestRate;
        if (slow && left > 2 * rules.seconds * *speed + ahead) {
            floor = s.received + static_cast<std::int64_t>(ahead);
        }
    }
    return s.length - std::max(keep, floor);
}

int ConnectionBalancer::split(int k, int connection) {
    TransferRecord& rec = engine_.record();
    Stretch& cut = rec.stretch(k);
    const std::int64_t far = farPart(k);
    cut.length -= far;
    Stretch helper;
    helper.piece = cut.piece;
    helper.connection = connection;
    helper.start = cut.start + cut.length;
    helper.length = far;
    rec.stretches.push_back(std::move(helper));
    return rec.stretchCount();
}

void ConnectionBalancer::replaceCrawler() {
    TransferRecord& rec = engine_.record();
    const HelpRules& rules = engine_.setup().help;
    const int tries = static_cast<int>(engine_.setup().retryDelays.size());
    int worst = 0;
    double worstSeconds = rules.seconds / 10;
    for (int k = 1; k <= rec.stretchCount(); ++k) {
        const Stretch& s = rec.stretch(k);
        const std::optional<double> speed = rate(s);
        const double seconds = static_cast<double>(s.missing()) / (speed.value_or(0) + 1);
        // Too little left in its request (or of its stretch, once a helper
        // took the rest) to split: asked again at once, it loses no more
        // than that.
        if (speed && s.crawlingSince &&
            std::min(s.askedTo, s.length) - s.received < 2 * rules.floor && s.failures < tries &&
            seconds > worstSeconds) {
            worst = k;
            worstSeconds = seconds;
        }
    }
    if (worst != 0) {
        // Another request may find a better path; it counts as a retry.
        ++rec.stretch(worst).failures;
        rec.stretch(worst).nextRange = false;
        engine_.connect(worst);
    }
}

void ConnectionBalancer::helpIdle() {
    TransferRecord& rec = engine_.record();
    for (int c = 1; c <= rec.pieceCount() && splitting(); ++c) {
        const int k = rec.stretchOf(c);
        if (k == 0 || rec.stretch(k).done) {
            connectionFree(c);
        }
    }
}

void ConnectionBalancer::balanceNow() {
    const auto now = engine_.setup().clock();
    if (now - lastLook_ >= kSampleTime) {
        lastLook_ = now;
        sample();
        helpIdle();
        replaceLongCrawlers();
    }
}

void ConnectionBalancer::tick() {
    if (splitting()) {
        sample();
        helpIdle();
        replaceLongCrawlers();
    }
}

}  // namespace tandu
