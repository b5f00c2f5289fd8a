#include "study/progress.h"

#include <string>

namespace kestrelfold::study {

Progress::Progress(std::ostream& out, bool live, std::size_t total, std::size_t done)
    : out_(out), live_(live), total_(total), done_(done), start_(std::chrono::steady_clock::now()) {
    show();
}

void Progress::started(std::int32_t N) {
    running_.insert(N);
    show();
}

void Progress::finished(std::int32_t N) {
    running_.erase(N);
    ++done_;
    show();
}

void Progress::tick() { show(); }

double Progress::elapsed_seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void Progress::show() {
    if (!live_) return;
    std::string line = "kestrelfold-study: " + std::to_string(done_) + " of " + std::to_string(total_) + " meshes done";
    if (!running_.empty()) {
        line += "; running N =";
        const char* separator = " ";
        for (std::int32_t N : running_) {
            line += separator + std::to_string(N);
            separator = ", ";
        }
    }
    const long seconds = static_cast<long>(elapsed_seconds());
    line += "; " + std::to_string(seconds / 60) + ":" + (seconds % 60 < 10 ? "0" : "") + std::to_string(seconds % 60);
    // Back to the start of the line, then clear what an older, longer line left.
    out_ << '\r' << line << "\x1b[K" << std::flush;
}

void Progress::close() {
    if (live_) out_ << "\r\x1b[K" << std::flush;
}

}  // namespace kestrelfold::study
