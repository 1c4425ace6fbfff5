#include "server/OutputRateLimit.h"

OutputRateLimit::Verdict OutputRateLimit::Admit(long long nowMs) {
    if (m_windowStart < 0 || nowMs - m_windowStart >= 1000) {
        m_windowStart = nowMs;
        m_logged = 0;
    }
    if (m_logged < m_limit) {
        ++m_logged;
        return Verdict::Log;
    }
    const bool first = m_leftOutWindow != m_windowStart;
    m_leftOutWindow = m_windowStart;
    ++m_leftOut;
    return first ? Verdict::FirstLeftOut : Verdict::LeftOut;
}

long long OutputRateLimit::TakeLeftOut(long long nowMs, bool final) {
    if (m_leftOut == 0)
        return 0;
    if (!final && nowMs - m_leftOutWindow < 1000)
        return 0;
    const long long count = m_leftOut;
    m_leftOut = 0;
    return count;
}
