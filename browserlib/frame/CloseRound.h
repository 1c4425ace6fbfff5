#pragma once

#include <functional>
#include <memory>
#include <vector>
#include <wx/weakref.h>

class CBrowserFrame;

// The pages of several windows asked in turn whether they may go, as one close
// of the application: each window comes to the front while its page asks; the
// first page whose user stays ends the round, and the pages that had agreed
// are asked again next time.
class CloseRound : public std::enable_shared_from_this<CloseRound> {
public:
    static void Start(const std::vector<CBrowserFrame*>& frames, std::function<void(bool)> done);

private:
    CloseRound(const std::vector<CBrowserFrame*>& frames, std::function<void(bool)> done);
    void Next();

    std::vector<wxWeakRef<CBrowserFrame>> m_frames;
    size_t m_next = 0;
    std::function<void(bool)> m_done;
};
