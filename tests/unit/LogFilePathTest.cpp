#include "config/LogFilePath.h"
#include "tests/unit/TestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <wx/filefn.h>

namespace {
struct FakeEnvironment {
    std::map<wxString, wxString> values;
    LogFilePath::Lookup lookup() const {
        return [this](const wxString& name, wxString* value) {
            const auto it = values.find(name);
            if (it == values.end())
                return false;
            if (value)
                *value = it->second;
            return true;
        };
    }
};
} // namespace

TEST(LogFilePath, ProfileFolderWithDataDirPlaceholder) {
    TempDir dir;
    FakeEnvironment env{{{"USERPROFILE", dir.path() + "/profile"}, {"HOME", "/nowhere"}}};
    const wxString path =
        LogFilePath::Build("%USERPROFILE%/Data/${data.dir}/", "wxHostApp.log", env.lookup(), "/");
    EXPECT_EQ(path, dir.path() + "/profile/Data/velta/wxHostApp.log");
    EXPECT_TRUE(wxDirExists(dir.path() + "/profile/Data/velta")) << "created with its parents";
}

TEST(LogFilePath, ProfileFallsBackToWindirAndUsernameThenToTemp) {
    FakeEnvironment env{{{"WINDIR", "/win"}, {"USERNAME", "anna"}, {"HOME", "/h"}}};
    EXPECT_EQ(LogFilePath::RewriteReferences("%USERPROFILE%/a${USERPROFILE}b$(USERPROFILE)",
                                             env.lookup()),
              "%WINDIR%/Profiles/%USERNAME%/a%WINDIR%/Profiles/%USERNAME%b%WINDIR%/Profiles/"
              "%USERNAME%");
    EXPECT_EQ(LogFilePath::ExpandVariables("%WINDIR%/Profiles/%USERNAME%", env.lookup()),
              "/win/Profiles/anna");

    FakeEnvironment bare{{{"WINDIR", "/win"}, {"HOME", "/h"}}};
    EXPECT_EQ(LogFilePath::RewriteReferences("%USERPROFILE%/Data", bare.lookup()), "%TEMP%/Data");

    TempDir dir;
    FakeEnvironment temp{{{"TEMP", dir.path()}, {"HOME", "/h"}}};
    EXPECT_EQ(LogFilePath::Build("%USERPROFILE%/Data/${data.dir}", "x.log", temp.lookup(), "/"),
              dir.path() + "/Data/velta/x.log");
}

TEST(LogFilePath, HomeFallsBackToProfileOnlyWhenUnset) {
    FakeEnvironment withHome{{{"HOME", "/home/anna"}, {"USERPROFILE", "/profile"}}};
    EXPECT_EQ(LogFilePath::RewriteReferences("$(HOME)/.velta", withHome.lookup()),
              "$(HOME)/.velta");
    EXPECT_EQ(LogFilePath::ExpandVariables("$(HOME)/.velta", withHome.lookup()),
              "/home/anna/.velta");

    FakeEnvironment noHome{{{"USERPROFILE", "/profile"}}};
    EXPECT_EQ(LogFilePath::RewriteReferences("$(HOME)/.velta", noHome.lookup()),
              "%USERPROFILE%/.velta");
    EXPECT_EQ(LogFilePath::RewriteReferences("%home%/x", noHome.lookup()), "%home%/x")
        << "other letter case is not rewritten";

    FakeEnvironment nothing;
    EXPECT_EQ(LogFilePath::RewriteReferences("${HOME}/x", nothing.lookup()), "%TEMP%/x")
        << "a home reference rewritten to the profile is rewritten again";
}

TEST(LogFilePath, ExpansionFormsAndUnsetVariables) {
    FakeEnvironment env{{{"A", "1"}, {"LONG_NAME", "2"}}};
    EXPECT_EQ(LogFilePath::ExpandVariables("%A%-${A}-$(A)-$A-$LONG_NAME/", env.lookup()),
              "1-1-1-1-2/");
    EXPECT_EQ(LogFilePath::ExpandVariables("%MISSING%/${NONE}/100%/$", env.lookup()),
              "%MISSING%/${NONE}/100%/$");
}

TEST(LogFilePath, RelativeTildeAndDots) {
    TempDir dir;
    FakeEnvironment env{{{"HOME", dir.path()}}};
    EXPECT_EQ(LogFilePath::Build("./", "wxHostApp.log", env.lookup(), dir.path()),
              dir.path() + "/wxHostApp.log");
    EXPECT_EQ(LogFilePath::Build("~/logs/../logs2/./deep/er/", "h.log", env.lookup(), "/"),
              dir.path() + "/logs2/deep/er/h.log");
    EXPECT_TRUE(wxDirExists(dir.path() + "/logs2/deep/er"));
    EXPECT_EQ(LogFilePath::Build("sub", "", env.lookup(), dir.path()),
              dir.path() + "/sub/wxHostApp.log")
        << "an empty file name falls back to the default";
}
