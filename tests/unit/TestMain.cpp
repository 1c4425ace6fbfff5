#include "host/HostLog.h"
#include "tests/unit/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/log.h>

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
