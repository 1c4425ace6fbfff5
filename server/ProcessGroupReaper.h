#pragma once

#include <set>
#include <sys/types.h>
#include <wx/event.h>
#include <wx/timer.h>

// Makes sure no process of a server's group outlives the host: groups are
// tracked from launch; a group sent the terminate signal is killed when it is
// still there after a short grace; and every tracked group is ended before the
// process exits, also on the fatal path.
class ProcessGroupReaper : public wxEvtHandler {
public:
    static constexpr int GraceMs = 1500;

    static ProcessGroupReaper& Get();

    void Track(pid_t pgid);
    // After a terminate signal to `pgid`: kill what is left of it after the grace.
    void KillAfterGrace(pid_t pgid);
    // Terminates every tracked group, waits up to `graceMs` and kills the rest.
    // Synchronous; for the last moments of the process.
    void EndAll(int graceMs = GraceMs);

    bool IsTracked(pid_t pgid) const { return m_groups.count(pgid) != 0; }

private:
    ProcessGroupReaper();
    void OnGraceOver(wxTimerEvent& event);

    std::set<pid_t> m_groups;
    std::set<pid_t> m_terminated;
    wxTimer m_timer;
    bool m_cleanupRegistered = false;
};
