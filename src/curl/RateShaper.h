#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace tandu {

// Holds fetches to the speed limits. Each group (a download) has a bucket of
// bytes that fills at its rate; a fetch takes a body chunk while its group's
// bucket is above empty (going into debt by the chunk) and is held, to be
// resumed later, while it is not. The rates come from the limits: a group's
// own, and its fair part of the overall limit, where a group that uses less
// than its part leaves the rest to the others. Between the fetches of a group
// the bytes go round in turn. Without any limit nothing is counted but the
// bytes taken.
class RateShaper {
public:
    using Clock = std::chrono::steady_clock;
    using Id = std::uint64_t;
    // How often the parts are worked out again from what each group took.
    static constexpr std::chrono::milliseconds kPeriod{500};

    explicit RateShaper(std::function<Clock::time_point()> clock = &Clock::now)
        : clock_(std::move(clock)) {}

    // Called when wake() may be due earlier than before.
    std::function<void()> onWakeChanged;

    Id addGroup();
    void removeGroup(Id group);
    // Bytes a second, 0 for none.
    void setGroupLimit(Id group, std::int64_t bytesPerSecond);
    void setOverallLimit(std::int64_t bytesPerSecond);
    std::int64_t overallLimit() const { return overall_; }
    // Some fetch of the group was held back lately.
    bool held(Id group) const;

    // A fetch of the group; `resume` is called (from wake()) when it may
    // take bytes again after mayTake() said no.
    Id join(Id group, std::function<void()> resume);
    void leave(Id member);
    // A body chunk has come: false when the fetch must hold it for now.
    bool mayTake(Id member);
    void took(Id member, std::size_t bytes);

    // When wake() wants to run next; nothing while no limit is in force and
    // no fetch is held.
    std::optional<Clock::time_point> nextWake() const;
    void wake();

    // The bytes a second the group may take now; nothing: no limit.
    std::optional<double> rate(Id group) const;
    // A member's even part of its group's rate; nothing: no limit.
    std::optional<double> memberRate(Id member) const;

private:
    struct Member {
        Id group = 0;
        std::function<void()> resume;
        bool waiting = false;
    };
    struct Group {
        std::int64_t limit = 0;
        std::optional<double> rate;  // nothing: no limit
        double tokens = 0;
        Clock::time_point refilled;
        std::vector<Id> members;
        std::size_t next = 0;  // whose turn it is
        int waiting = 0;
        Id turn = 0;  // the member resumed just now
        // Bytes a second it would take (infinite: as many as it may), from
        // the last period; a fresh group is taken to want all it may.
        double demand = kUnbounded;
        std::int64_t taken = 0;  // in this period
        bool heldNow = false;    // in this period
        bool heldBefore = false;
    };
    static constexpr double kUnbounded = 1e300;

    bool limited() const { return overall_ > 0 || limitedGroups_ > 0; }
    void refill(Group& group, Clock::time_point now) const;
    // A period ended: what each group took becomes its demand.
    void measure(Clock::time_point now);
    // The rates from the limits and the demands.
    void apportion(Clock::time_point now);
    void resumeWaiting(Id groupId);

    std::function<Clock::time_point()> clock_;
    std::map<Id, Group> groups_;
    std::map<Id, Member> members_;
    Id nextId_ = 1;
    std::int64_t overall_ = 0;
    int limitedGroups_ = 0;
    int waiting_ = 0;
    std::optional<Clock::time_point> measured_;
};

}  // namespace tandu
