#pragma once
// What a study tells while it runs. On a terminal, one line on stderr kept
// up to date: meshes done of the total, the meshes running, the time
// elapsed. Elsewhere (a log, a pipe) nothing until the study's summary line.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <set>

namespace kestrelfold::study {

class Progress {
public:
    // `total` meshes of which `done` are already complete before any run.
    Progress(std::ostream& out, bool live, std::size_t total, std::size_t done);

    bool live() const { return live_; }
    void started(std::int32_t N);
    void finished(std::int32_t N);
    void tick();    // the elapsed time moved on
    void close();   // the live line cleared for what follows
    double elapsed_seconds() const;

private:
    void show();

    std::ostream& out_;
    bool live_;
    std::size_t total_;
    std::size_t done_;
    std::set<std::int32_t, std::greater<>> running_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace kestrelfold::study
