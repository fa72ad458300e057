#include "RateShaper.h"

#include <algorithm>
#include <numeric>

namespace tandu {

namespace {

// A group may save up a quarter second's worth while it takes nothing.
constexpr double kBurstSeconds = 0.25;
// The least a group that took little is counted as wanting, so that it can
// show it wants more.
constexpr double kFloor = 16'000;
// Headroom over what a group took, so that a growing group is seen growing.
constexpr double kHeadroom = 1.25;

double seconds(RateShaper::Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Max-min fair parts of `total` for these caps; what no cap takes is spread
// over all, since a group that took little may want more now.
std::vector<double> waterFill(double total, const std::vector<double>& caps) {
    std::vector<std::size_t> order(caps.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](auto a, auto b) { return caps[a] < caps[b]; });
    std::vector<double> parts(caps.size(), 0);
    double left = total;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const double fair = left / static_cast<double>(order.size() - i);
        parts[order[i]] = std::min(caps[order[i]], fair);
        left -= parts[order[i]];
    }
    for (double& part : parts) {
        part += left / static_cast<double>(parts.size());
    }
    return parts;
}

}  // namespace

RateShaper::Id RateShaper::addGroup() {
    const Id id = nextId_++;
    groups_[id].refilled = clock_();
    return id;
}

void RateShaper::removeGroup(Id group) {
    const auto it = groups_.find(group);
    if (it == groups_.end()) {
        return;
    }
    for (Id member : it->second.members) {
        members_.erase(member);
    }
    waiting_ -= it->second.waiting;
    limitedGroups_ -= it->second.limit > 0 ? 1 : 0;
    groups_.erase(it);
    apportion(clock_());
}

void RateShaper::setGroupLimit(Id group, std::int64_t bytesPerSecond) {
    const auto it = groups_.find(group);
    if (it == groups_.end()) {
        return;
    }
    const std::int64_t limit = std::max<std::int64_t>(bytesPerSecond, 0);
    limitedGroups_ += (limit > 0 ? 1 : 0) - (it->second.limit > 0 ? 1 : 0);
    it->second.limit = limit;
    apportion(clock_());
}

void RateShaper::setOverallLimit(std::int64_t bytesPerSecond) {
    overall_ = std::max<std::int64_t>(bytesPerSecond, 0);
    apportion(clock_());
}

bool RateShaper::held(Id group) const {
    const auto it = groups_.find(group);
    return it != groups_.end() &&
           (it->second.heldBefore || it->second.heldNow || it->second.waiting > 0);
}

std::optional<double> RateShaper::rate(Id group) const {
    const auto it = groups_.find(group);
    return it == groups_.end() ? std::nullopt : it->second.rate;
}

std::optional<double> RateShaper::memberRate(Id member) const {
    const auto m = members_.find(member);
    if (m == members_.end()) {
        return std::nullopt;
    }
    const Group& g = groups_.at(m->second.group);
    return g.rate ? std::optional<double>(*g.rate / static_cast<double>(g.members.size()))
                  : std::nullopt;
}

RateShaper::Id RateShaper::join(Id group, std::function<void()> resume) {
    const auto it = groups_.find(group);
    if (it == groups_.end()) {
        return 0;
    }
    const Id id = nextId_++;
    members_[id] = Member{group, std::move(resume), false};
    it->second.members.push_back(id);
    if (limited()) {
        apportion(clock_());
    }
    return id;
}

void RateShaper::leave(Id member) {
    const auto it = members_.find(member);
    if (it == members_.end()) {
        return;
    }
    const auto group = groups_.find(it->second.group);
    if (group != groups_.end()) {
        Group& g = group->second;
        std::erase(g.members, member);
        if (it->second.waiting) {
            --g.waiting;
            --waiting_;
        }
    }
    members_.erase(it);
}

bool RateShaper::mayTake(Id member) {
    if (!limited() && waiting_ == 0) {
        return true;  // the common case costs nothing
    }
    const auto m = members_.find(member);
    if (m == members_.end()) {
        return true;
    }
    Group& g = groups_.at(m->second.group);
    if (!g.rate) {
        return true;
    }
    refill(g, clock_());
    // While others wait, the bytes go to them in turn.
    if (g.tokens > 0 && (g.waiting == 0 || g.turn == member)) {
        return true;
    }
    g.heldNow = true;
    if (!m->second.waiting) {
        m->second.waiting = true;
        ++g.waiting;
        ++waiting_;
    }
    if (onWakeChanged) {
        onWakeChanged();
    }
    return false;
}

void RateShaper::took(Id member, std::size_t bytes) {
    if (!limited()) {
        return;  // only a limit's shares are worked out from what was taken
    }
    const auto m = members_.find(member);
    if (m == members_.end()) {
        return;
    }
    Group& g = groups_.at(m->second.group);
    g.taken += static_cast<std::int64_t>(bytes);
    if (g.rate) {
        g.tokens -= static_cast<double>(bytes);
    }
}

void RateShaper::refill(Group& g, Clock::time_point now) const {
    if (g.rate && now > g.refilled) {
        g.tokens =
            std::min(g.tokens + *g.rate * seconds(now - g.refilled), *g.rate * kBurstSeconds);
    }
    g.refilled = std::max(g.refilled, now);
}

std::optional<RateShaper::Clock::time_point> RateShaper::nextWake() const {
    if (!limited() && waiting_ == 0) {
        return std::nullopt;
    }
    const Clock::time_point now = clock_();
    std::optional<Clock::time_point> due;
    const auto sooner = [&due](Clock::time_point t) { due = due ? std::min(*due, t) : t; };
    if (limited() && !members_.empty()) {
        sooner(measured_ ? *measured_ + kPeriod : now);
    }
    for (const auto& [id, g] : groups_) {
        if (g.waiting == 0) {
            continue;
        }
        if (!g.rate || g.tokens > 0) {
            sooner(now);
        } else {
            // Just past the moment the bucket is above empty again.
            sooner(g.refilled +
                   std::chrono::duration_cast<Clock::duration>(
                       std::chrono::duration<double>(-g.tokens / *g.rate)) +
                   std::chrono::microseconds(100));
        }
    }
    return due;
}

void RateShaper::wake() {
    const Clock::time_point now = clock_();
    if (!limited()) {
        measured_.reset();
    } else if (!measured_ || now >= *measured_ + kPeriod) {
        measure(now);
    }
    std::vector<Id> waitingGroups;
    for (const auto& [id, g] : groups_) {
        if (g.waiting > 0) {
            waitingGroups.push_back(id);
        }
    }
    for (Id id : waitingGroups) {
        resumeWaiting(id);
    }
}

void RateShaper::measure(Clock::time_point now) {
    const double period = measured_ ? std::max(seconds(now - *measured_), 0.001) : 0;
    measured_ = now;
    for (auto& [id, g] : groups_) {
        const bool held = g.heldNow || g.waiting > 0;
        if (g.members.empty() || period == 0) {
            g.demand = kUnbounded;  // nothing to judge by
        } else {
            g.demand = held ? kUnbounded
                            : std::max(static_cast<double>(g.taken) / period * kHeadroom, kFloor);
        }
        g.heldBefore = held;
        g.heldNow = false;
        g.taken = 0;
    }
    apportion(now);
}

void RateShaper::apportion(Clock::time_point now) {
    std::vector<Group*> sharing;
    std::vector<double> caps;
    for (auto& [id, g] : groups_) {
        refill(g, now);  // what the old rate gave up to now
        const double limit = g.limit > 0 ? static_cast<double>(g.limit) : kUnbounded;
        if (overall_ > 0 && !g.members.empty()) {
            sharing.push_back(&g);
            caps.push_back(std::min(limit, g.demand));
        } else {
            const bool had = g.rate.has_value();
            g.rate = g.limit > 0 ? std::optional<double>(limit) : std::nullopt;
            if (g.rate && !had) {
                g.tokens = 0;
            } else if (!g.rate) {
                g.heldBefore = g.heldNow = false;  // nothing holds it back any more
            }
        }
    }
    const std::vector<double> parts = waterFill(static_cast<double>(overall_), caps);
    for (std::size_t i = 0; i < sharing.size(); ++i) {
        Group& g = *sharing[i];
        if (!g.rate) {
            g.tokens = 0;
        }
        g.rate = std::min(parts[i], g.limit > 0 ? static_cast<double>(g.limit) : kUnbounded);
    }
    for (auto& [id, g] : groups_) {
        if (g.rate) {
            g.tokens = std::min(g.tokens, *g.rate * kBurstSeconds);
        }
    }
    if (onWakeChanged) {
        onWakeChanged();
    }
}

void RateShaper::resumeWaiting(Id groupId) {
    for (;;) {
        const auto it = groups_.find(groupId);
        if (it == groups_.end() || it->second.waiting == 0) {
            return;
        }
        Group& g = it->second;
        refill(g, clock_());
        if (g.rate && g.tokens <= 0) {
            return;
        }
        Id pick = 0;
        for (std::size_t i = 0; i < g.members.size() && pick == 0; ++i) {
            const std::size_t k = (g.next + i) % g.members.size();
            if (members_.at(g.members[k]).waiting) {
                pick = g.members[k];
                g.next = k + 1;
            }
        }
        if (pick == 0) {
            return;
        }
        Member& m = members_.at(pick);
        m.waiting = false;
        --g.waiting;
        --waiting_;
        g.turn = pick;
        const std::function<void()> resume = m.resume;  // the call may end the member
        resume();
        if (const auto again = groups_.find(groupId); again != groups_.end()) {
            again->second.turn = 0;
        }
    }
}

}  // namespace tandu
