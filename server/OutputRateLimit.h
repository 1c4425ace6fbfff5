#pragma once

// How many lines of the server's output a second go into the log. A server
// that floods its output must neither fill the disk nor keep the host busy
// formatting log lines; what is left out is counted and said.
class OutputRateLimit {
public:
    static constexpr int kDefaultLinesPerSecond = 1000;

    explicit OutputRateLimit(int linesPerSecond = kDefaultLinesPerSecond)
        : m_limit(linesPerSecond) {}

    enum class Verdict {
        Log,          // the line goes into the log
        FirstLeftOut, // left out, the first of its second: say that lines are left out
        LeftOut,      // left out quietly
    };
    // The verdict on a line read at `nowMs` (a monotonic clock).
    Verdict Admit(long long nowMs);
    // Lines left out in seconds that are over by `nowMs` (all of them when
    // `final`), once: the count to report, or 0.
    long long TakeLeftOut(long long nowMs, bool final);
    bool HasLeftOut() const { return m_leftOut > 0; }

private:
    int m_limit;
    long long m_windowStart = -1;
    int m_logged = 0;
    long long m_leftOut = 0;
    long long m_leftOutWindow = -1;
};
