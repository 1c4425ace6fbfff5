#include "server/ProcessGroupReaper.h"

#include "host/FatalError.h"
#include "platform/ProcessTable.h"
#include "server/LeftoverServers.h"
#include "server/Watchdog.h"

#include <chrono>
#include <csignal>
#include <thread>
#include <wx/log.h>

ProcessGroupReaper& ProcessGroupReaper::Get() {
    static ProcessGroupReaper* reaper = new ProcessGroupReaper; // outlives static teardown
    return *reaper;
}

ProcessGroupReaper::ProcessGroupReaper() {
    m_timer.SetOwner(this);
    Bind(wxEVT_TIMER, &ProcessGroupReaper::OnGraceOver, this);
}

void ProcessGroupReaper::Track(pid_t pgid) {
    if (pgid <= 1)
        return;
    m_groups.insert(pgid);
    Watchdog::Track(pgid);
    LeftoverServers::Record(pgid);
    if (!m_cleanupRegistered) {
        m_cleanupRegistered = true;
        FatalError::AddCleanup([] { Get().EndAll(); });
    }
}

void ProcessGroupReaper::KillAfterGrace(pid_t pgid) {
    if (pgid <= 1)
        return;
    m_groups.insert(pgid);
    m_terminated.insert(pgid);
    m_timer.StartOnce(GraceMs);
}

void ProcessGroupReaper::OnGraceOver(wxTimerEvent&) {
    for (pid_t pgid : m_terminated) {
        if (!ProcessTable::LiveMembersOfGroup(pgid).empty()) {
            wxLogMessage(wxS("ServerProcess group %ld still alive after the terminate signal, "
                             "killing it"),
                         static_cast<long>(pgid));
            ::kill(-pgid, SIGKILL);
        } else {
            Watchdog::Ended(pgid);
            m_groups.erase(pgid);
        }
    }
    m_terminated.clear();
}

void ProcessGroupReaper::EndAll(int graceMs) {
    m_timer.Stop();
    std::set<pid_t> alive;
    for (pid_t pgid : m_groups) {
        if (!ProcessTable::LiveMembersOfGroup(pgid).empty()) {
            alive.insert(pgid);
            ::kill(-pgid, SIGTERM);
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
    while (!alive.empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (auto it = alive.begin(); it != alive.end();) {
            if (ProcessTable::LiveMembersOfGroup(*it).empty())
                it = alive.erase(it);
            else
                ++it;
        }
    }
    for (pid_t pgid : alive) {
        wxLogMessage(wxS("ServerProcess group %ld did not end, killing it"),
                     static_cast<long>(pgid));
        ::kill(-pgid, SIGKILL);
    }
    for (pid_t pgid : m_groups)
        Watchdog::Ended(pgid);
    if (!m_groups.empty())
        LeftoverServers::Forget();
    m_groups.clear();
    m_terminated.clear();
}
