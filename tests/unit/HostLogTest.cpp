#include "host/HostLog.h"
#include "host/HostSwitches.h"
#include "host/OsDefaults.h"
#include "host/RotatingLogFile.h"
#include "host/UserMessages.h"
#include "tests/unit/TestSupport.h"

#include <clocale>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(HostLog, LevelNames) {
    EXPECT_EQ(HostLog::LevelFromName("ERROR"), wxLOG_Error);
    EXPECT_EQ(HostLog::LevelFromName("Warning"), wxLOG_Warning);
    EXPECT_EQ(HostLog::LevelFromName("verbose"), wxLOG_Message);
    EXPECT_EQ(HostLog::LevelFromName(""), wxLOG_Message);
}

TEST(HostLog, LineFormat) {
    struct tm local {};
    local.tm_hour = 13;
    local.tm_min = 5;
    local.tm_sec = 9;
    local.tm_mday = 1;
    local.tm_mon = 0;
    local.tm_year = 126;
    local.tm_isdst = -1;
    const time_t when = mktime(&local);
    const char* previous = std::setlocale(LC_TIME, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_TIME, "C");
    EXPECT_EQ(HostLog::FormatLine(wxLOG_Error, "broken", when), "13:05:09: Error: broken");
    EXPECT_EQ(HostLog::FormatLine(wxLOG_Warning, "odd", when), "13:05:09: Warning: odd");
    EXPECT_EQ(HostLog::FormatLine(wxLOG_Message, "fine", when), "13:05:09: fine");
    const wxString document = "data:text/html," + wxString('x', 5000);
    EXPECT_EQ(HostLog::FormatLine(wxLOG_Message, "FilterUrl " + document + " refused", when),
              "13:05:09: FilterUrl " + document.Left(300) + "... (cut, 5015 characters) refused")
        << "a whole document in a URL is cut, with a marker";
    std::setlocale(LC_TIME, saved.c_str());
    EXPECT_EQ(HostLog::Shortened("a  b\tc", 1), "a  b\tc") << "short words and spacing stay";
}

TEST(HostLog, FileTargetAppendsUtf8LinesThatPassTheThreshold) {
    TempDir dir;
    const std::string path = dir.File("host.log");
    const wxLogLevel level = wxLog::GetLogLevel();
    // Two runs: each opens the file for appending.
    for (const char* levelName : {"error", "whatever"}) {
        FILE* file = std::fopen(path.c_str(), "a");
        wxLog* target = HostLog::CreateTarget(file);
        wxLog* previous = wxLog::SetActiveTarget(target);
        HostLog::ApplyLogLevel(levelName);
        wxLogMessage(L"Bitte führen Sie anschließend %s", levelName);
        wxLogWarning("warned");
        wxLogError("failed %d", 7);
        wxLogVerbose("never in the file");
        wxLog::SetActiveTarget(previous);
        delete target;
        std::fclose(file);
    }
    wxLog::SetLogLevel(level);
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.find("Bitte f\xc3\xbchren Sie anschlie\xc3\x9f"
                        "end error"),
              std::string::npos);
    EXPECT_NE(text.find("Bitte f\xc3\xbchren Sie anschlie\xc3\x9f"
                        "end whatever\n"),
              std::string::npos);
    EXPECT_NE(text.find(": Error: failed 7\n"), std::string::npos);
    EXPECT_NE(text.find(": Warning: warned\n"), std::string::npos);
    EXPECT_EQ(text.find("never"), std::string::npos);
    size_t errors = 0;
    for (size_t at = 0; (at = text.find("Error: failed", at)) != std::string::npos; ++at)
        ++errors;
    EXPECT_EQ(errors, 2u) << text;
}

TEST(HostLog, RotatingFileKeepsTwoOlderFilesWithinTheLimit) {
    TempDir dir;
    const std::string path = dir.File("host.log");
    dir.Write("host.log", std::string(300, 'o') + "\n"); // an earlier run's entries
    const long long limit = 1000;
    {
        RotatingLogFile file(path, limit);
        ASSERT_TRUE(file.Open());
        wxLog* target = HostLog::CreateRotatingTarget(&file);
        wxLog* previous = wxLog::SetActiveTarget(target);
        const wxLogLevel level = wxLog::GetLogLevel();
        wxLog::SetLogLevel(wxLOG_Message);
        for (int i = 1; i <= 200; ++i)
            wxLogMessage("entry %03d of the flood", i);
        wxLog::SetLogLevel(level);
        wxLog::SetActiveTarget(previous);
        delete target;
    }
    const std::string newest = ReadFile(path);
    const std::string older = ReadFile(RotatingLogFile::OlderName(path, 1));
    const std::string oldest = ReadFile(RotatingLogFile::OlderName(path, 2));
    EXPECT_NE(newest.find("entry 200 of the flood\n"), std::string::npos);
    for (const std::string* text : {&newest, &older, &oldest}) {
        EXPECT_FALSE(text->empty());
        EXPECT_LE(static_cast<long long>(text->size()), limit);
        EXPECT_EQ(text->back(), '\n') << "files are cut between lines";
    }
    struct stat st;
    EXPECT_NE(stat(RotatingLogFile::OlderName(path, 3).c_str(), &st), 0) << "only two are kept";
    EXPECT_EQ(older.find("entry 200"), std::string::npos);
    EXPECT_LT(older.find("entry"), std::string::npos);

    RotatingLogFile unwritable(dir.File("no-such-folder/host.log"));
    EXPECT_FALSE(unwritable.Open());
    unwritable.Write("dropped\n"); // harmless
}

TEST(HostSwitches, CommandLineRules) {
    HostSwitches::ResetAll();
    wxArrayString args;
    for (const char* a : {"-no_server", "-d", "no_redirect", "-IGNORE_SERVER_TERMINATE",
                          "-no_redirect", "-no_redirect"})
        args.push_back(a);
    EXPECT_TRUE(HostSwitches::ApplyCommandLine(args));
    EXPECT_FALSE(HostSwitches::IsSet("no_server")) << "the first argument is the program";
    EXPECT_TRUE(HostSwitches::IsSet("no_redirect"));
    EXPECT_FALSE(HostSwitches::IsSet("ignore_server_terminate"));
    EXPECT_FALSE(HostSwitches::IsSet("-no_redirect"));
    EXPECT_FALSE(HostSwitches::IsSet("No_Redirect"));
    EXPECT_FALSE(HostSwitches::IsSet("d"));

    wxArrayString plain;
    plain.push_back("velta-host");
    plain.push_back("-D");
    EXPECT_FALSE(HostSwitches::ApplyCommandLine(plain));
    HostSwitches::ResetAll();
}

TEST(OsDefaults, Windows9xTable) {
    using F = OsVersionInfo::Family;
    auto detect = [](F family, unsigned major, unsigned minor, unsigned build) {
        OsVersionInfo v;
        v.family = family;
        v.major = major;
        v.minor = minor;
        v.build = build;
        const wxArrayString found = OsDefaults::Detect(v);
        return found.empty() ? wxString() : found[0];
    };
    EXPECT_EQ(detect(F::Windows9x, 4, 10, 1998),
              "HostApp::SetOSSpecificParamDefaults, Windows 98 detected");
    EXPECT_EQ(detect(F::Windows9x, 4, 10, 2182),
              "HostApp::SetOSSpecificParamDefaults, Windows 98SP1 detected");
    EXPECT_EQ(detect(F::Windows9x, 4, 10, 2183),
              "HostApp::SetOSSpecificParamDefaults, Windows 98SE detected");
    EXPECT_EQ(detect(F::Windows9x, 4, 90, 3000),
              "HostApp::SetOSSpecificParamDefaults, Windows ME detected");
    EXPECT_EQ(detect(F::Windows9x, 4, 10, 1997), "");
    EXPECT_EQ(detect(F::Windows9x, 4, 0, 950), "");
    EXPECT_EQ(detect(F::WindowsNT, 4, 10, 1998), "");
    EXPECT_EQ(detect(F::Linux, 4, 10, 1998), "");

    OsVersionInfo here;
    ASSERT_TRUE(OsVersion::Query(here));
    EXPECT_EQ(here.family, OsVersionInfo::Family::Linux);
    EXPECT_TRUE(OsDefaults::Detect(here).empty());
}

TEST(UserMessages, LanguageRule) {
    EXPECT_TRUE(UserMessages::IsGerman("de"));
    EXPECT_TRUE(UserMessages::IsGerman("DE"));
    EXPECT_FALSE(UserMessages::IsGerman("de-DE"));
    EXPECT_FALSE(UserMessages::IsGerman(""));
    EXPECT_EQ(UserMessages::FatalCaption("De"), "Fehler");
    EXPECT_EQ(UserMessages::FatalCaption("en"), "Fatal error");
}
