#pragma once

#include <cstdint>

namespace tandu {

// When a connection with nothing left to do takes over part of another's
// stretch, and when a crawling connection is opened again.
struct HelpRules {
    // What a stretch must lack before its speed is known, so that a helper
    // is worth a new request.
    std::int64_t minimum = 1'000'000;
    // The least a stretch must lack at all.
    std::int64_t floor = 64 * 1024;
    // ...and more than this many seconds' worth at its speed. A connection
    // left with a tenth of that at a crawl, while another is free, is opened
    // again.
    double seconds = 0.5;
    // A connection slower than 1/crawlFraction of the fastest one lately for
    // crawlSeconds is opened again; so is one that slow at once, while
    // another is free, when its request has too little left to split.
    int crawlFraction = 10;
    double crawlSeconds = 1;
    // A running request slower than 1/cutFraction of the fastest that would
    // take more than twice `seconds` may be cut short; it keeps what comes
    // within keepSeconds at its speed.
    int cutFraction = 5;
    double keepSeconds = 0.25;
};

}  // namespace tandu
