#pragma once

#include <deque>

// Counts a page's renderer crashes: the first ones are reloaded, but three
// within a minute are not a passing fault any more.
class RendererCrashes {
public:
    static const int kLimit = 3;
    static const long long kWindowMs = 60000;

    // Records a crash at `nowMs`; true when it makes kLimit within kWindowMs.
    bool Record(long long nowMs);
    int Recent() const { return static_cast<int>(m_times.size()); }

private:
    std::deque<long long> m_times;
};
