#include "tests/gui/BrowserTestSupport.h"

#include "browserlib/api/wxHtmlCtrl.h"
#include "tests/unit/TestSupport.h"

#include <chrono>
#include <fstream>
#include <unistd.h>
#include <wx/app.h>

LibraryFixture::LibraryFixture() {
    char pattern[] = "/tmp/velta-lib-XXXXXX";
    configDir = mkdtemp(pattern);
    main = new wxFrame(nullptr, wxID_ANY, "hidden main frame");
    wxTheApp->SetTopWindow(main);
    wxHtmlCtrl::OnInit();
}

LibraryFixture::~LibraryFixture() {
    wxHtmlCtrl::OnExit();
    main->Destroy();
    PumpFor(50);
    HeadlessBackend::ClearPages();
    if (HeadlessBackend::Instance())
        HeadlessBackend::Instance()->Downloads().clear();
    const std::string command = "rm -rf '" + configDir + "'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", configDir.c_str());
}

CBrowserFrame* LibraryFixture::CreateHosted(const std::string& configXml) {
    const std::string file = configDir + "/app.config.xml";
    std::ofstream(file) << "<c>" << configXml << "</c>";
    config.SetFileName(file);
    config.Load();
    wxHtmlCtrl* control =
        wxHtmlCtrl::createHostedBrowser(wxTheApp, main, wxEmptyString, &config, &host);
    return dynamic_cast<CBrowserFrame*>(control);
}

bool LibraryFixture::Pump(const std::function<bool()>& done, int timeoutMs) {
    return RunLoopUntil(done, timeoutMs);
}

void LibraryFixture::PumpFor(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    RunLoopUntil([&] { return std::chrono::steady_clock::now() >= end; }, ms + 1000);
}
