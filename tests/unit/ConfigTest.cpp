#include "config/ConfigFindings.h"
#include "config/VELTAAppConfig.h"
#include "config/XmlDocumentReader.h"
#include "platform/PlatformInfo.h"
#include "tests/unit/TestSupport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/xml/xml.h>

namespace {
std::string Key(const std::string& name, const std::string& attributes = "",
                const std::string& text = "") {
    return "<object name=\"" + name + "\" class=\"configuration\"" + attributes + ">" + text +
           "</object>";
}

std::string Doc(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n" + body + "\n</root>\n";
}

class ConfigTest : public testing::Test {
protected:
    void LoadText(const std::string& xml) {
        dir.Write("app.config.xml", xml);
        config.SetFileName(dir.File("app.config.xml"));
        ASSERT_TRUE(config.Load());
    }
    TempDir dir;
    VELTAAppConfig config;
};
} // namespace

TEST_F(ConfigTest, AFileWithOnlyStartUrlKeepsEveryOtherDefault) {
    LoadText(Doc(Key("StartUrl", "", "http://localhost/app")));
    EXPECT_EQ(config.GetStartUrl(), "http://localhost/app");
    EXPECT_EQ(config.GetStartTimeout(), 60u);
    EXPECT_EQ(config.GetBasePort(), 80u);
    EXPECT_EQ(config.GetServerPort(), 80u);
    EXPECT_EQ(config.GetBGColor(), "BLACK");
    EXPECT_EQ(config.GetRefreshDelayMS(), 200u);
    EXPECT_TRUE(config.UseExternalBrowserForExternalUrls());
    EXPECT_FALSE(config.IsLoggingEnabled());
    EXPECT_FALSE(config.IsFullscreen());
    EXPECT_EQ(config.GetAppDataDirectory(), wxString(".") + PlatformInfo::PathSeparator());
    EXPECT_EQ(config.GetMainWindowRect(), wxRect(0, 0, 0, 0));
    EXPECT_FALSE(config.GetResizeOptions().enable);
    EXPECT_TRUE(config.GetResizeOptions().center);
    EXPECT_TRUE(config.GetResizeOptions().scrollbar);
}

TEST_F(ConfigTest, KeysNeedTheExactClassAndNameAttributes) {
    LoadText(Doc("<object name=\"StartUrl\">no class</object>"
                 "<object name=\"StartUrl\" Class=\"configuration\">capital attribute</object>"
                 "<object name=\"StartUrl\" class=\"Configuration\">capital value</object>"
                 "<object name=\"starturl\" class=\"configuration\">lower name</object>"
                 "<item name=\"StartUrl\" class=\"configuration\">other element</item>"
                 "<object_ref name=\"ServerUrl\" class=\"configuration\">http://ref</object_ref>"));
    EXPECT_EQ(config.GetStartUrl(), "");
    EXPECT_EQ(config.GetServerUrl(), "http://ref");
}

TEST_F(ConfigTest, DirectKeyWinsOverNestedAndFirstNestedWins) {
    LoadText(Doc("<group><inner>" + Key("StartUrl", "", "deep") + "</inner></group>" +
                 Key("StartUrl", "", "direct") + "<a>" + Key("ServerUrl", "", "first") + "</a><b>" +
                 Key("ServerUrl", "", "second") + "</b>"));
    EXPECT_EQ(config.GetStartUrl(), "direct");
    EXPECT_EQ(config.GetServerUrl(), "first");
}

TEST_F(ConfigTest, ForeignPlatformSectionsHideTheirKeys) {
    const std::string here = PlatformInfo::Name().utf8_string();
    LoadText(Doc("<configuration os=\"Other\">" + Key("StartUrl", "", "foreign") +
                 Key("ServerUrl", "", "foreign") + "</configuration>" + "<configuration os=\"" +
                 here + "\">" + Key("ServerUrl", "", "ours") + "</configuration>" +
                 "<configuration>" + Key("CommandPrefix", "", "plain") + "</configuration>" +
                 "<configuration os=\"linux\">" + Key("IconUrl", "", "lower-case os") +
                 "</configuration>"));
    EXPECT_EQ(config.GetStartUrl(), "");
    EXPECT_EQ(config.GetServerUrl(), "ours");
    EXPECT_EQ(config.GetCommandPrefix(), "plain");
    EXPECT_EQ(config.GetIconUrl(), "");
}

TEST_F(ConfigTest, AForeignRootHidesEverything) {
    dir.Write("app.config.xml", "<configuration os=\"Win32\">" + Key("StartUrl", "", "x") +
                                    Key("Logging", " enable=\"true\"") + "</configuration>");
    config.SetFileName(dir.File("app.config.xml"));
    ASSERT_TRUE(config.Load());
    EXPECT_EQ(config.GetStartUrl(), "");
    EXPECT_FALSE(config.IsLoggingEnabled());
}

TEST_F(ConfigTest, TextValuesAreTakenUnchangedIncludingCdataAndEmpty) {
    LoadText(Doc(Key("PathEnvVar", "", "  /opt/bin:/usr/bin ") +
                 Key("ClassPath", "", "<![CDATA[a<b>&c]]>") + Key("UILanguage") +
                 Key("TempDirectory", "", "caf&#233;/tmp")));
    EXPECT_EQ(config.GetPathEnvVar(), "  /opt/bin:/usr/bin ");
    EXPECT_EQ(config.GetClassPath(), "a<b>&c");
    EXPECT_EQ(config.GetUILanguage(), "");
    EXPECT_EQ(config.GetTempDirectory(), wxString::FromUTF8("caf\xc3\xa9/tmp"));
}

TEST_F(ConfigTest, NumbersFollowTheUnsignedRuleAndOnlyReplaceWhenPositive) {
    LoadText(Doc(Key("StartUrl", " timeout=\" 120\"") + Key("ServerPort", " baseport=\"90s\"") +
                 Key("MainWindowMode", " refreshDelayMS=\"0\"")));
    EXPECT_EQ(config.GetStartTimeout(), 120u);
    EXPECT_EQ(config.GetBasePort(), 90u);
    EXPECT_EQ(config.GetRefreshDelayMS(), 200u);

    LoadText(Doc(Key("StartUrl", " timeout=\"abc\"") + Key("ServerPort", " baseport=\"-5\"") +
                 Key("MainWindowMode", " refreshDelayMS=\"\"")));
    EXPECT_EQ(config.GetStartTimeout(), 120u) << "a second load keeps what it cannot read";
    EXPECT_EQ(config.GetBasePort(), 90u) << "a negative number has no digits first";
    EXPECT_EQ(config.GetRefreshDelayMS(), 200u);
}

TEST(ConfigNumbers, ParseRules) {
    EXPECT_EQ(XmlConfig::ParseUnsigned("  42abc"), 42u);
    EXPECT_EQ(XmlConfig::ParseUnsigned("x42"), 0u);
    EXPECT_EQ(XmlConfig::ParseUnsigned("99999999999999999999"), 4294967295u);
    EXPECT_EQ(XmlConfig::ParseSigned(" -20"), -20);
    EXPECT_EQ(XmlConfig::ParseSigned("+7px"), 7);
    EXPECT_EQ(XmlConfig::ParseSigned("--1"), 0);
    EXPECT_EQ(XmlConfig::ParseSigned("-99999999999"), -2147483648L);
}

TEST_F(ConfigTest, RectanglesParseEachCoordinateAndMissingOnesAreZero) {
    LoadText(Doc(Key("MainWindowRect", " x=\"-20\" y=\"12px\" dy=\"300\"") +
                 Key("SplashWindowRect", " x=\"a\" y=\"1\" dx=\"2\" dy=\"3\"")));
    EXPECT_EQ(config.GetMainWindowRect(), wxRect(-20, 12, 0, 300));
    EXPECT_EQ(config.GetSplashWindowRect(), wxRect(0, 1, 2, 3));
    EXPECT_EQ(config.GetBrowserWindowRect(), wxRect(0, 0, 0, 0));
}

TEST_F(ConfigTest, BooleanRules) {
    LoadText(Doc(Key("MainWindowMode", " fullscreen=\"TRUE\" center=\"yes\"") +
                 Key("StartUrl", " useexternalbrowserforexternalurls=\"FALSE\"") +
                 Key("Resize", " enable=\"1\" center=\"True\"")));
    EXPECT_TRUE(config.IsFullscreen());
    EXPECT_FALSE(config.IsMainWindowCentered());
    EXPECT_FALSE(config.UseExternalBrowserForExternalUrls());
    EXPECT_FALSE(config.GetResizeOptions().enable);
    EXPECT_TRUE(config.GetResizeOptions().center);
    EXPECT_FALSE(config.GetResizeOptions().scrollbar) << "a present element reads a missing "
                                                         "attribute as false";

    LoadText(Doc(Key("StartUrl", " useexternalbrowserforexternalurls=\"no\"")));
    EXPECT_TRUE(config.UseExternalBrowserForExternalUrls());
}

TEST_F(ConfigTest, LoggingAttributeDefaults) {
    LoadText(Doc(Key("Logging", " enable=\"true\"")));
    EXPECT_TRUE(config.IsLoggingEnabled());
    EXPECT_EQ(config.GetLoggingFile(), "wxHostApp.log");
    EXPECT_EQ(config.GetLoggingLevel(), "warning");
}

TEST_F(ConfigTest, ApplicationConfigFixesBrowserWindowSettings) {
    LoadText(Doc(Key("Resize", " enable=\"true\" sizebrowser=\"true\" center=\"false\" "
                               "scrollbar=\"true\"")));
    EXPECT_TRUE(config.GetResizeOptions().enable);
    EXPECT_FALSE(config.GetResizeOptions().sizebrowser);
    EXPECT_FALSE(config.GetResizeOptions().center);
    EXPECT_TRUE(config.GetResizeOptions().scrollbar);
    EXPECT_FALSE(config.IsDragDropAllowed());

    HostConfig plain;
    plain.SetFileName(dir.File("app.config.xml"));
    ASSERT_TRUE(plain.Load());
    EXPECT_TRUE(plain.GetResizeOptions().sizebrowser);
    EXPECT_TRUE(plain.IsDragDropAllowed());
}

TEST_F(ConfigTest, SecondLoadKeepsRunTimeChangesOfMissingKeysAndNeverThePort) {
    LoadText(Doc(Key("StartUrl", "", "one") + Key("MainWindowMode", " fullscreen=\"true\"")));
    config.SetServerPort(8123);
    config.SetMainWindowRect(wxRect(1, 2, 3, 4));
    config.SetFullscreen(false);
    LoadText(Doc(Key("StartUrl", "", "two")));
    EXPECT_EQ(config.GetStartUrl(), "two");
    EXPECT_EQ(config.GetServerPort(), 8123u);
    EXPECT_EQ(config.GetMainWindowRect(), wxRect(1, 2, 3, 4));
    EXPECT_FALSE(config.IsFullscreen());
}

TEST_F(ConfigTest, SaveWritesOnlyModeAndRectAndKeepsTheRestOfTheFile) {
    LoadText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- keep me -->\n<root>\n  " +
             Key("MainWindowMode", " fullscreen=\"true\" center=\"true\"") + "\n  " +
             Key("StartUrl", " timeout=\"5\"", "http://x/") + "\n</root>\n");
    config.SetFullscreen(false);
    config.SetMainWindowRect(wxRect(10, 20, 300, 400));
    config.SetServerPort(9999);
    ASSERT_TRUE(config.Save());
    const std::string saved = ReadFile(dir.File("app.config.xml"));
    EXPECT_NE(saved.find("keep me"), std::string::npos);
    EXPECT_NE(saved.find("center=\"true\" fullscreen=\"false\""), std::string::npos) << saved;
    EXPECT_EQ(saved.find("MainWindowRect"), std::string::npos) << "no element is created";
    EXPECT_EQ(saved.find("9999"), std::string::npos);
    EXPECT_NE(saved.find("timeout=\"5\">http://x/<"), std::string::npos);

    LoadText(Doc(Key("MainWindowRect", " x=\"1\"")));
    config.SetMainWindowRect(wxRect(-5, 6, 700, 800));
    ASSERT_TRUE(config.Save());
    VELTAAppConfig reread;
    reread.SetFileName(dir.File("app.config.xml"));
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.GetMainWindowRect(), wxRect(-5, 6, 700, 800));
}

TEST_F(ConfigTest, SaveThatCannotWriteFailsAndLeavesTheFileIntact) {
    LoadText(Doc(Key("MainWindowMode", " fullscreen=\"true\"")));
    const std::string before = ReadFile(dir.File("app.config.xml"));
    config.SetFileName(dir.File("missing-dir/app.config.xml"));
    config.SetFullscreen(false);
    EXPECT_FALSE(config.Save());
    EXPECT_EQ(ReadFile(dir.File("app.config.xml")), before);
}

TEST_F(ConfigTest, ResolveUrlKeepsKnownSchemesAndTurnsPathsIntoFileUrls) {
    const wxString cwd = wxGetCwd();
    wxSetWorkingDirectory(dir.path());
    wxString url = "HTTP://Example/x";
    config.ResolveUrl(url);
    EXPECT_EQ(url, "HTTP://Example/x");
    url = " about:blank";
    config.ResolveUrl(url);
    EXPECT_EQ(url, " about:blank");
    url = "";
    config.ResolveUrl(url);
    EXPECT_EQ(url, "");
    url = "html/../html/start.html";
    config.ResolveUrl(url);
    EXPECT_EQ(url, "file://" + dir.path() + "/html/start.html");
    wxSetWorkingDirectory(cwd);
}

TEST_F(ConfigTest, ResolveUrlPutsThePortInPlaceOfEveryPlaceholder) {
    wxString url =
        "http://localhost:VELTA_SERVER_PORT/app?back=VELTA_SERVER_PORT&x=velta_server_port";
    wxString before = url;
    config.ResolveUrl(before);
    EXPECT_EQ(before, "http://localhost:80/app?back=80&x=velta_server_port");
    config.SetServerPort(8080);
    config.ResolveUrl(url);
    EXPECT_EQ(url, "http://localhost:8080/app?back=8080&x=velta_server_port");

    const wxString cwd = wxGetCwd();
    wxSetWorkingDirectory(dir.path());
    wxString path = "pages/VELTA_SERVER_PORT.html";
    config.ResolveUrl(path);
    EXPECT_EQ(path, "file://" + dir.path() + "/pages/8080.html");
    wxSetWorkingDirectory(cwd);
}

TEST(HostConfigPaths, EnsureTrailingSeparator) {
    HostConfig config;
    wxString path = "/srv/tomcat";
    config.EnsureTrailingSeparator(path);
    EXPECT_EQ(path, "/srv/tomcat/");
    config.EnsureTrailingSeparator(path);
    EXPECT_EQ(path, "/srv/tomcat/");
    path = "";
    config.EnsureTrailingSeparator(path);
    EXPECT_EQ(path, "");
}

TEST_F(ConfigTest, LoadChangesIntoTheWorkingDirectoryFirst) {
    dir.Write("app.config.xml", Doc(Key("StartUrl", "", "from-workdir")));
    const wxString cwd = wxGetCwd();
    VELTAAppConfig fromDir;
    fromDir.SetWorkingDirectory(dir.path());
    ASSERT_TRUE(fromDir.Load());
    EXPECT_EQ(fromDir.GetStartUrl(), "from-workdir");
    EXPECT_EQ(wxGetCwd(), dir.path());
    wxSetWorkingDirectory(cwd);
}

TEST_F(ConfigTest, UnreadableFileIsFatalWithTheLanguageKnownAtThatMoment) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    config.SetFileName(dir.File("absent.xml"));
    EXPECT_EXIT(config.Load(), testing::ExitedWithCode(3),
                "Fatal error: Could not read the configuration file.");

    LoadText(Doc(Key("UILanguage", "", "DE")));
    dir.Write("app.config.xml", "<root><object name=\"StartUrl\" class=\"configuration\">");
    EXPECT_EXIT(config.Load(), testing::ExitedWithCode(3),
                "Fehler: Die Datei zur Programmkonfiguration konnte nicht gelesen werden.");
}

TEST(XmlDocumentReader, KeepsEveryKindOfNodeForTheWriteBack) {
    wxXmlDocument doc;
    wxString error;
    ASSERT_TRUE(XmlDocumentReader::ReadText(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- head -->\n<?pi data?>\n"
        "<r a=\"1\" b=\"&lt;2&gt;\">\n  <x>t&amp;\xe9xt</x><![CDATA[<raw>]]><!--c--></r>\n",
        doc, &error))
        << error;
    EXPECT_EQ(doc.GetFileEncoding(), "ISO-8859-1");
    wxXmlNode* root = doc.GetRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetName(), "r");
    EXPECT_EQ(root->GetAttribute("b"), "<2>");
    EXPECT_EQ(root->GetAttributes()->GetName(), "a") << "attributes keep their order";
    wxXmlNode* n = root->GetChildren();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->GetType(), wxXML_TEXT_NODE) << "white space is kept";
    n = n->GetNext();
    EXPECT_EQ(n->GetNodeContent(), wxString::FromUTF8("t&\xc3\xa9xt")) << "declared encoding";
    n = n->GetNext();
    EXPECT_EQ(n->GetType(), wxXML_CDATA_SECTION_NODE);
    EXPECT_EQ(n->GetContent(), "<raw>");
    EXPECT_EQ(n->GetNext()->GetType(), wxXML_COMMENT_NODE);
    EXPECT_EQ(doc.GetDocumentNode()->GetChildren()->GetType(), wxXML_COMMENT_NODE);
}

TEST(XmlDocumentReader, RefusesWhatNoConfigurationNeedsAndKeepsTheOldDocument) {
    wxXmlDocument doc;
    wxString error;
    ASSERT_TRUE(XmlDocumentReader::ReadText("<old/>", doc, &error));
    std::string deep;
    for (int i = 0; i < 26000; ++i)
        deep += "<d>";
    EXPECT_FALSE(XmlDocumentReader::ReadText(deep, doc, &error));
    EXPECT_TRUE(error.Contains("nested more than 512 deep")) << error;
    std::string fits;
    for (int i = 0; i < XmlDocumentReader::kMaxDepth; ++i)
        fits += "<d>";
    for (int i = 0; i < XmlDocumentReader::kMaxDepth; ++i)
        fits += "</d>";
    EXPECT_TRUE(XmlDocumentReader::ReadText(fits, doc, &error)) << error;
    ASSERT_TRUE(XmlDocumentReader::ReadText("<old/>", doc, &error));
    EXPECT_FALSE(XmlDocumentReader::ReadText(std::string(XmlDocumentReader::kMaxFileBytes + 1, ' '),
                                             doc, &error));
    EXPECT_TRUE(error.Contains("larger than")) << error;
    for (const char* broken : {"", "<a>", "<a></b>", "<!-- only -->", "<a/><b/>",
                               "<?xml version=\"1.0\" encoding=\"no-such\"?><a/>"}) {
        EXPECT_FALSE(XmlDocumentReader::ReadText(broken, doc, &error)) << broken;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(doc.GetRoot()->GetName(), "old") << "a refused file changes nothing";
}

TEST_F(ConfigTest, LargeFilesLoadInTimeProportionalToTheirSize) {
    // Each of these took from seconds to minutes with a quadratic reader; a
    // linear one needs a fraction of a second. The bound only catches the former.
    std::string siblings;
    for (int i = 0; i < 30000; ++i)
        siblings += "<x a=\"" + std::to_string(i) + "\"/>";
    const std::string big(4 << 20, 'v');
    const auto begin = std::chrono::steady_clock::now();
    LoadText(Doc(siblings + "<!--" + std::string(1 << 20, 'c') + "-->" + Key("StartUrl", "", big) +
                 Key("ServerUrl", "", "http://s/")));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    EXPECT_EQ(config.GetStartUrl().length(), big.size());
    EXPECT_EQ(config.GetServerUrl(), "http://s/");
    EXPECT_LT(seconds, 5.0);
}

TEST_F(ConfigTest, StatusCheckIntervalIsOneSecondUnlessAskedAndStaysInItsRange) {
    LoadText(Doc(Key("ServerUrl", "", "http://localhost/status")));
    EXPECT_EQ(config.GetStatusCheckIntervalMS(), 1000u);
    const struct {
        const char* attribute;
        unsigned interval;
    } cases[] = {{"250", 250}, {"50", 50}, {"10", 50}, {"5000", 1000}, {"x", 1000}, {"0", 1000}};
    for (const auto& c : cases) {
        VELTAAppConfig fresh;
        dir.Write("app.config.xml",
                  Doc(Key("ServerUrl", std::string(" intervalMS=\"") + c.attribute + "\"",
                          "http://localhost/status")));
        fresh.SetFileName(dir.File("app.config.xml"));
        ASSERT_TRUE(fresh.Load());
        EXPECT_EQ(fresh.GetStatusCheckIntervalMS(), c.interval) << c.attribute;
        EXPECT_EQ(fresh.GetServerUrl(), "http://localhost/status");
    }
}

namespace {
std::vector<wxString> FindingsOf(const std::string& xml) {
    wxXmlDocument document;
    wxString error;
    EXPECT_TRUE(XmlDocumentReader::ReadText(xml, document, &error)) << error;
    std::vector<wxString> lines;
    for (const ConfigFindings::Finding& f : ConfigFindings::Of(document, PlatformInfo::Name()))
        lines.push_back(ConfigFindings::Format("app.config.xml", f));
    return lines;
}
} // namespace

TEST(ConfigFindingsTable, EachMistakeNamedWithItsLine) {
    const struct {
        const char* object; // on line 3
        const char* expected;
    } cases[] = {
        {R"(<object name="StartURL" class="configuration">x</object>)",
         "app.config.xml:3: StartURL: unknown key; did you mean StartUrl?"},
        {R"(<object name="ServerDirectroy" class="configuration">x</object>)",
         "app.config.xml:3: ServerDirectroy: unknown key; did you mean ServerDirectory?"},
        {R"(<object name="Colour" class="configuration">x</object>)",
         "app.config.xml:3: Colour: unknown key"},
        {R"(<object name="MainWindowMode" class="configuration" fulscreen="true"/>)",
         "app.config.xml:3: MainWindowMode fulscreen: unknown attribute; did you mean fullscreen?"},
        {R"(<object name="UILanguage" class="configuration" lang="de">de</object>)",
         "app.config.xml:3: UILanguage lang: unknown attribute"},
        {R"(<object name="StartUrl" class="configuraton">x</object>)",
         "app.config.xml:3: configuraton: unknown class; did you mean configuration? (key "
         "StartUrl)"},
        {R"(<object name="ServerPort" class="configuration" baseport="eighty"/>)",
         "app.config.xml:3: ServerPort baseport=\"eighty\": not a number; the host uses 0"},
        {R"(<object name="StartUrl" class="configuration" timeout="1m">x</object>)",
         "app.config.xml:3: StartUrl timeout=\"1m\": not a number; the host uses its own limit"},
        {R"(<object name="SplashWindowRect" class="configuration" x="0" y="0" dx="100" dy="-1"/>)",
         "app.config.xml:3: SplashWindowRect: a negative size (100 x -1); the host uses its "
         "default size instead"},
        {R"(<object name="MainWindowRect" class="configuration" x="left" y="0" dx="1" dy="1"/>)",
         "app.config.xml:3: MainWindowRect x=\"left\": not a number; the host uses 0"},
        {R"(<object name="Logging" class="configuration" enable="true" level="debug"/>)",
         "app.config.xml:3: Logging level=\"debug\": none of error, warning, message; the host "
         "logs messages"},
        {R"(<object name="Logging" class="configuration" level="Warnung"/>)",
         "app.config.xml:3: Logging level=\"Warnung\": none of error, warning, message; the host "
         "logs messages (did you mean warning?)"},
        {R"(<object name="Permissions" class="configuration" notifications="sometimes"/>)",
         "app.config.xml:3: Permissions notifications=\"sometimes\": none of allow, deny, ask; the "
         "host asks"},
        {R"(<object name="Permissions" class="configuration" camera="yes"/>)",
         "app.config.xml:3: Permissions camera=\"yes\": none of allow, deny, ask; the host "
         "refuses"},
        {R"(<object name="Permissions" class="configuration" geolocaton="allow"/>)",
         "app.config.xml:3: Permissions geolocaton: unknown attribute; did you mean geolocation?"},
        {R"(<object name="OpenUrl" class="configuration">http://localhost/open</object>)",
         "app.config.xml:3: OpenUrl: holds no VELTA_OPEN_ARG; the application is not told what to "
         "open"},
        {R"(<object name="UrlScheme" class="configuration">demo</object>)",
         "app.config.xml:3: UrlScheme: unknown key; did you mean UrlSchemes?"},
        {R"(<object name="MainWindowMode" class="configuration" remeber="true"/>)",
         "app.config.xml:3: MainWindowMode remeber: unknown attribute; did you mean remember?"},
    };
    for (const auto& c : cases) {
        const std::vector<wxString> found =
            FindingsOf(std::string("<?xml version=\"1.0\"?>\n<c>\n") + c.object + "\n</c>\n");
        ASSERT_EQ(found.size(), 1u) << c.object;
        EXPECT_EQ(found[0], wxString::FromUTF8(c.expected));
    }
}

TEST(ConfigFindingsTable, CorrectFilesAndOtherSystemsAreSilent) {
    // Every key and attribute the host reads, written correctly.
    EXPECT_TRUE(FindingsOf(R"(<?xml version="1.0"?>
<c>
<object name="StartUrl" class="configuration" timeout="30" useexternalbrowserforexternalurls="true">http://localhost:VELTA_SERVER_PORT/</object>
<object name="MainWindowMode" class="configuration" fullscreen="false" center="true" keepresolution="false" browserkeys="true" contextmenu="application" refreshDelayMS="10" remember="true"/>
<object name="OpenUrl" class="configuration">http://localhost:VELTA_SERVER_PORT/open?what=VELTA_OPEN_ARG</object>
<object name="UrlSchemes" class="configuration">demo-scheme</object>
<object name="Permissions" class="configuration" notifications="Ask" geolocation="allow" camera="deny" microphone="deny" clipboard="ask" persistentstorage="allow"/>
<object name="MainWindowRect" class="configuration" x="-10" y="+20" dx="800" dy="600"/>
<object name="ServerPort" class="configuration" baseport=" 8080"/>
<object name="ServerUrl" class="configuration" intervalMS="200">http://localhost/</object>
<object name="Logging" class="configuration" enable="true" file="a.log" level="Message"/>
<object name="Resize" class="configuration" enable="true" sizebrowser="true" center="true" scrollbar="true"/>
<configuration os="linux"><object name="ServerDirectory" class="configuration">srv</object></configuration>
<object_ref name="IconUrl" class="configuration">icon.png</object_ref>
</c>
)")
                    .empty());
    // What another system's section says is none of this host's business.
    EXPECT_TRUE(FindingsOf(R"(<?xml version="1.0"?>
<c>
<configuration os="amiga"><object name="Nonsense" class="other" colour="red"/></configuration>
</c>
)")
                    .empty());
    EXPECT_TRUE(FindingsOf(R"(<?xml version="1.0"?>
<configuration os="amiga"><object name="Nonsense" class="configuration"/></configuration>
)")
                    .empty());
}

TEST(ConfigFindingsTable, NearestNameIsCloseOrNothing) {
    wxArrayString known;
    for (const char* name : {"StartUrl", "ServerUrl", "ServerPort", "Logging"})
        known.Add(name);
    EXPECT_EQ(ConfigFindings::Nearest("startur", known), "StartUrl");
    EXPECT_EQ(ConfigFindings::Nearest("SERVERPROT", known), "ServerPort");
    EXPECT_EQ(ConfigFindings::Nearest("Loging", known), "Logging");
    EXPECT_EQ(ConfigFindings::Nearest("Lo", known), "") << "too short to guess";
    EXPECT_EQ(ConfigFindings::Nearest("Printer", known), "");
    EXPECT_EQ(ConfigFindings::Nearest("", known), "");
}
