#include "browserlib/frame/CloseRound.h"

#include "browserlib/frame/CBrowserFrame.h"

#include <wx/log.h>

CloseRound::CloseRound(const std::vector<CBrowserFrame*>& frames, std::function<void(bool)> done)
    : m_done(std::move(done)) {
    for (CBrowserFrame* frame : frames)
        m_frames.emplace_back(frame);
}

void CloseRound::Start(const std::vector<CBrowserFrame*>& frames, std::function<void(bool)> done) {
    std::shared_ptr<CloseRound> round(new CloseRound(frames, std::move(done)));
    round->Next();
}

void CloseRound::Next() {
    while (m_next < m_frames.size() && (!m_frames[m_next] || m_frames[m_next]->IsClosing()))
        ++m_next;
    if (m_next == m_frames.size()) {
        m_done(true);
        return;
    }
    CBrowserFrame* frame = m_frames[m_next];
    if (m_frames.size() > 1 && frame->IsShown())
        frame->Raise();
    std::shared_ptr<CloseRound> self = shared_from_this();
    frame->AskPageToClose([self](bool mayClose) {
        if (mayClose) {
            ++self->m_next;
            self->Next();
            return;
        }
        wxLogMessage(wxS("CloseRound: the page of \"%s\" keeps the application open"),
                     self->m_frames[self->m_next] ? self->m_frames[self->m_next]->GetTitle()
                                                  : wxString());
        for (CBrowserFrame* asked : self->m_frames)
            if (asked)
                asked->ForgetPageAgreement();
        self->m_done(false);
    });
}
