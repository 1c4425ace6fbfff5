#include "browserlib/runtime/engine/RendererCrashes.h"

bool RendererCrashes::Record(long long nowMs) {
    m_times.push_back(nowMs);
    while (!m_times.empty() && nowMs - m_times.front() >= kWindowMs)
        m_times.pop_front();
    if (static_cast<int>(m_times.size()) < kLimit)
        return false;
    m_times.clear(); // asked once; the count starts again after the answer
    return true;
}
