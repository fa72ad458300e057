#pragma once

#include <functional>
#include <memory>
#include <string>

namespace tandu {

// Work that waits on the disk (syncs, removals made durable) runs beside the
// program's loop, so that no download stalls while another's files settle.
class BackgroundWork {
public:
    // What the work says went wrong; empty when nothing did.
    using Work = std::function<std::string()>;
    using Done = std::function<void(const std::string& failure)>;

    class Job {
    public:
        virtual ~Job() = default;
        // Waits for the work to end and returns what it said; `done` is then
        // never called. For a caller that cannot wait for the loop.
        virtual std::string wait() = 0;
    };

    virtual ~BackgroundWork() = default;
    // `done` runs from the program's loop, unless the job was destroyed or
    // waited for first; the work itself always runs to its end. An
    // implementation without threads may run both before this returns.
    virtual std::unique_ptr<Job> start(Work work, Done done) = 0;
};

}  // namespace tandu
