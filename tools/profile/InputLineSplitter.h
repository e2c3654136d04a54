// Typed input cut into lines for learn's answers: a line is kept up to a limit and
// lines wait up to a count, so that input without line ends, or a large file piped
// in by mistake, never grows what waits without end.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace profiletool {

class InputLineSplitter {
public:
    // An answer is a letter or nothing: longer lines are cut here.
    static constexpr std::size_t kMaxLine = 256;
    // Lines typed ahead of the keys that wait for them; later ones are dropped.
    static constexpr std::size_t kMaxWaiting = 4096;

    // Adds what was read; each whole line goes to `waiting`, without its line end.
    void Feed(const char* data, std::size_t size, std::deque<std::string>& waiting) {
        for (std::size_t i = 0; i < size; ++i) {
            const char c = data[i];
            if (c != '\n') {
                if (pending_.size() < kMaxLine) pending_ += c;
                continue;
            }
            if (!pending_.empty() && pending_.back() == '\r') pending_.pop_back();
            if (waiting.size() < kMaxWaiting) waiting.push_back(pending_);
            pending_.clear();
        }
    }
    std::size_t Pending() const { return pending_.size(); }

private:
    std::string pending_;
};

}  // namespace profiletool
