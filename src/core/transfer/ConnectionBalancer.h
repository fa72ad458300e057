#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace tandu {

class Download;
struct Stretch;

// Keeps every connection of a transfer useful: one that has nothing left
// takes the far part of what the slowest stretch lacks, by their speeds
// (never what that stretch's running request brings soon, so little is sent
// twice), and one that crawls far behind the others is asked again from its
// first missing byte.
class ConnectionBalancer {
public:
    explicit ConnectionBalancer(Download& download) : engine_(download) {}

    // Connection c finished its stretch and the transfer goes on.
    void connectionFree(int connection);
    // Connections with nothing to do look for a stretch to help.
    void helpIdle();
    // Between ticks, at most every quarter second: helpIdle().
    void balanceNow();
    // After the once-a-second figures.
    void tick();

private:
    bool splitting() const;
    // The stretch most worth helping, 0 for none.
    int slowest() const;
    // Its recent bytes a second, once known.
    static std::optional<double> rate(const Stretch& s);
    // Brings the recent speeds up to date.
    void sample();
    // Nothing is worth splitting: a stretch crawling far behind the fastest
    // one running is asked for again.
    void replaceCrawler();
    // What a helper would take of stretch k: the far part of what it lacks,
    // by speed, short of what its running request brings soon.
    std::int64_t farPart(int k) const;
    // Cuts stretch k where farPart(k) begins; that part is a new stretch for
    // the connection. Returns its number.
    int split(int k, int connection);
    // Those crawling for long enough are asked again.
    void replaceLongCrawlers();

    Download& engine_;
    std::chrono::steady_clock::time_point lastLook_;
};

}  // namespace tandu
