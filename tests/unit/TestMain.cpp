#include "HostLog.h"

#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/log.h>

namespace {
// Assertion failures fail the test instead of opening a dialog.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str().data(), line)
        << "toolkit assertion " << cond.utf8_str().data() << " in " << func.utf8_str().data()
        << ": " << msg.utf8_str().data();
}
} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    wxInitializer init(argc, argv);
    if (!init.IsOk())
        return 2;
    wxSetAssertHandler(FailOnAssert);
    delete wxLog::SetActiveTarget(HostLog::CreateTarget(nullptr));
    wxLog::SetLogLevel(wxLOG_Warning);
    return RUN_ALL_TESTS();
}
