// Tests of the browser library and the windows, with the headless engine, in
// a real toolkit application (under a virtual X server).

#include "host/HostLog.h"
#include "tests/unit/TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/init.h>
#include <wx/log.h>

namespace {
class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    setenv("VELTA_BROWSER_ENGINE", "headless", 1);
    // Profiles and the product directory go to a scratch home.
    static TempDir home;
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_DATA_HOME", (home.path() + "/data").c_str(), 1);
    wxMkDir(home.path() + "/data", 0700);
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit())
        return 2;
    wxSetAssertHandler(FailOnAssert);
    delete wxLog::SetActiveTarget(HostLog::CreateTarget(nullptr));
    wxLog::SetLogLevel(wxLOG_Warning);
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
