// Drives the browser library the way the host does: starts it, makes the hosted
// browser frame under a hidden parent, and reports every callback on standard
// output. Commands arrive on standard input, one per line:
//   load URL | veto TEXT | frames | title | close-hosted | quit | size W H
//
//   browser-driver [CONFIG]

#include "browserlib/MozillaFacade.h"
#include "browserlib/api/IHtmlControlNavigationListener.h"
#include "browserlib/api/IMozillaHost.h"
#include "browserlib/api/wxHtmlCtrl.h"
#include "browserlib/frame/CBrowserFrame.h"
#include "browserlib/frame/CBrowserView.h"
#include "config/VELTAAppConfig.h"
#include "host/HostLog.h"

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/timer.h>

namespace {
void Say(const wxString& text) {
    std::printf("%s\n", text.utf8_str().data());
    std::fflush(stdout);
}

class DriverApp;

// The host side: hears the hosted frame come and go, and filters navigations.
class DriverHost : public IMozillaHost, public IHtmlControlNavigationListener {
public:
    bool OnInit() override { return true; }
    bool OnExit() override {
        Say("host OnExit");
        gone = true;
        return true;
    }
    bool FilterUrl(const wxString& url) override {
        bool veto = false;
        for (const wxString& v : vetoes)
            veto = veto || url.Contains(v);
        Say(wxString::Format("filter %s %s", url, veto ? "veto" : "pass"));
        return veto;
    }
    void OnBeforeNavigate(const wxString& url) override { Say("before " + url); }
    void Reserved(const wxString&) override {}
    void OnDocumentComplete(const wxString& url) override { Say("complete " + url); }

    std::vector<wxString> vetoes;
    bool gone = false;
};

class DriverApp : public wxApp {
public:
    bool OnInit() override {
        delete wxLog::SetActiveTarget(HostLog::CreateTarget(nullptr));
        wxLog::SetLogLevel(wxLOG_Message);
        if (argc > 1) {
            m_config.SetFileName(argv[1]);
            m_config.Load();
        }
        if (!wxHtmlCtrl::OnInit()) {
            Say("library failed");
            return false;
        }
        Say("library up");
        m_main = new wxFrame(nullptr, wxID_ANY, "hidden main frame");
        SetTopWindow(m_main);
        m_host.m_NavigationListener = &m_host;
        m_control = wxHtmlCtrl::createHostedBrowser(this, m_main, wxEmptyString,
                                                    argc > 1 ? &m_config : nullptr, &m_host);
        Say(m_control ? "hosted created" : "hosted failed");
        fcntl(0, F_SETFL, fcntl(0, F_GETFL) | O_NONBLOCK);
        m_input.SetOwner(this);
        Bind(wxEVT_TIMER, &DriverApp::OnInput, this);
        m_input.Start(50);
        return true;
    }

    int OnExit() override {
        Say(wxString::Format("library exit %d", wxHtmlCtrl::OnExit() ? 1 : 0));
        return wxApp::OnExit();
    }

private:
    void OnInput(wxTimerEvent&) {
        char buffer[4096];
        const ssize_t n = read(0, buffer, sizeof(buffer));
        if (n > 0)
            m_pending.append(buffer, static_cast<size_t>(n));
        size_t end;
        while ((end = m_pending.find('\n')) != std::string::npos) {
            Command(wxString::FromUTF8(m_pending.substr(0, end)));
            m_pending.erase(0, end + 1);
        }
    }

    void Command(const wxString& line) {
        if (m_host.gone)
            m_control = nullptr;
        const wxString verb = line.BeforeFirst(' '), rest = line.AfterFirst(' ');
        if (verb == "load" && m_control) {
            m_control->LoadURL(rest);
        } else if (verb == "veto") {
            m_host.vetoes.push_back(rest);
        } else if (verb == "frames") {
            wxString names;
            for (wxObject* entry : wxHtmlCtrl::GetFrameList()) {
                auto* frame = dynamic_cast<wxFrame*>(entry);
                auto* browser = dynamic_cast<CBrowserFrame*>(entry);
                PRInt32 bw = -1, bh = -1;
                if (browser && browser->GetView() && browser->GetView()->GetBaseWindow())
                    browser->GetView()->GetBaseWindow()->GetSize(&bw, &bh);
                if (browser)
                    names += wxString::Format(" (view %dx%d browser %dx%d)",
                                              browser->GetView()->GetSize().x,
                                              browser->GetView()->GetSize().y, bw, bh);
                if (frame)
                    names += wxString::Format(" [%s|%s|%d,%d,%d,%d]", frame->GetTitle(),
                                              frame->IsShown() ? "shown" : "hidden",
                                              frame->GetPosition().x, frame->GetPosition().y,
                                              frame->GetSize().x, frame->GetSize().y);
            }
            Say(wxString::Format("frames %d%s", static_cast<int>(wxHtmlCtrl::GetFrameList().size()),
                                 names));
        } else if (verb == "title" && m_control) {
            Say("title " + m_control->GetFrame()->GetTitle());
        } else if (verb == "close-hosted" && m_control) {
            m_control->GetFrame()->Close();
        } else if (verb == "size" && m_control) {
            long w = 0, h = 0;
            rest.BeforeFirst(' ').ToLong(&w);
            rest.AfterFirst(' ').ToLong(&h);
            m_control->setSize(wxSize(w, h));
        } else if (verb == "command" && m_control) {
            long id = 0;
            rest.ToLong(&id);
            wxCommandEvent event(wxEVT_MENU, static_cast<int>(id));
            m_control->GetFrame()->GetEventHandler()->ProcessEvent(event);
        } else if (verb == "quit") {
            m_input.Stop();
            m_main->Destroy();
        }
    }

    VELTAAppConfig m_config;
    wxFrame* m_main = nullptr;
    wxHtmlCtrl* m_control = nullptr;
    DriverHost m_host;
    std::string m_pending;
    wxTimer m_input;
};
} // namespace

wxIMPLEMENT_APP_NO_MAIN(DriverApp);

int main(int argc, char** argv) {
    return wxEntry(argc, argv);
}
