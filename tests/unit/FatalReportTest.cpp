#include "host/FatalReport.h"
#include "server/FailureReason.h"
#include "server/ServerOutputTail.h"

#include <gtest/gtest.h>

TEST(FailureReason, ExitCodesSignalsAndContractCodesInBothLanguages) {
    struct Case {
        int status;
        bool starting;
        const char* language;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {1, true, "en", L"The server ended with exit code 1 while it was starting."},
        {1, false, "en", L"The server ended with exit code 1 after it had started."},
        {1, true, "de", L"Der Server hat sich mit dem Exit-Code 1 beendet, während er startete."},
        {-9, false, "en", L"The server was ended by signal 9 (SIGKILL) after it had started."},
        {-15, true, "DE",
         L"Der Server wurde durch das Signal 15 (SIGTERM) beendet, während er startete."},
        // The contract's codes arrive as a byte, in either sign.
        {215, true, "en",
         L"The server ended with exit code 215 (internal error) while it was "
         L"starting."},
        {-40, false, "de",
         L"Der Server hat sich mit dem Exit-Code 216 (läuft bereits) beendet, "
         L"nachdem er gestartet war."},
        {192, false, "en",
         L"The server ended with exit code 192 (EXIT_CODE_DEFAULT) after it "
         L"had started."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FailureReason::Exit(c.status, c.starting, c.language), wxString(c.expected))
            << c.status << " " << c.language;
}

TEST(FailureReason, TheLastCheckTheProgramAndThePort) {
    EXPECT_EQ(
        FailureReason::NoAnswer(60, "http://localhost:8080/status", "connection refused", "en"),
        "The server did not answer within 60 seconds. The last check of "
        "http://localhost:8080/status said: connection refused");
    EXPECT_EQ(FailureReason::NoAnswer(5, "", "", "de"),
              "Der Server hat in 5 Sekunden nicht geantwortet.");
    EXPECT_EQ(FailureReason::NotStartable("bin/catalina.sh", "en"),
              "The server's start program 'bin/catalina.sh' cannot be run (not found or not "
              "executable).");
    EXPECT_TRUE(FailureReason::NoFreePort(65530, "de").Contains("65530"));
    EXPECT_TRUE(FailureReason::ForeignListener(8080, "en").Contains("port 8080"));
}

TEST(ServerOutputTail, KeepsTheLastTwentyLinesWithinFourKilobytes) {
    ServerOutputTail tail;
    for (int i = 1; i <= 50; ++i)
        tail.Add(wxString::Format("line %d", i));
    auto lines = tail.Lines();
    ASSERT_EQ(lines.size(), ServerOutputTail::kMostLines);
    EXPECT_EQ(lines.front(), "line 31");
    EXPECT_EQ(lines.back(), "line 50");

    // Long lines: the byte limit holds before the line count does.
    tail.Clear();
    for (int i = 0; i < 10; ++i)
        tail.Add(wxString(static_cast<char>('a' + i), 1000));
    lines = tail.Lines();
    size_t bytes = 0;
    for (const wxString& line : lines)
        bytes += line.utf8_str().length() + 1;
    EXPECT_LE(bytes, ServerOutputTail::kMostBytes);
    EXPECT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines.back(), wxString('j', 1000));

    // One line larger than the whole limit keeps its end, counted in UTF-8.
    tail.Clear();
    tail.Add(wxString(L'\u00e4', 5000) + wxS("the end"));
    lines = tail.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_LE(lines[0].utf8_str().length() + 1, ServerOutputTail::kMostBytes);
    EXPECT_TRUE(lines[0].EndsWith("the end"));
    EXPECT_TRUE(lines[0].StartsWith(L"\u2026"));
}

TEST(FatalReport, DetailsAndCopiedTextInBothLanguages) {
    FatalReport report;
    report.language = "en";
    report.reason = "The server ended with exit code 1 while it was starting.";
    report.serverOutput = {"starting", "SEVERE: Failed to initialize connector: database "
                                       "password rejected for user orders"};
    report.logPath = "/home/u/.local/share/app/velta.log";
    report.configPath = "/opt/app/app.config.xml";
    report.version = "1.2.3";
    EXPECT_EQ(report.Details(),
              "Reason: The server ended with exit code 1 while it was starting.\n\n"
              "The server's last lines:\nstarting\nSEVERE: Failed to initialize connector: "
              "database password rejected for user orders\n\n"
              "Log file: /home/u/.local/share/app/velta.log");
    const wxString copy = report.CopyText("Fatal error", "The application has been shut down.");
    EXPECT_TRUE(copy.StartsWith("Fatal error\n\nThe application has been shut down.\n\nReason: "));
    EXPECT_TRUE(copy.Contains(report.Details()));
    EXPECT_TRUE(copy.EndsWith("velta-host 1.2.3\nConfiguration: /opt/app/app.config.xml\n"));
    EXPECT_EQ(report.CopyLabel(), "&Copy details");
    EXPECT_EQ(report.OpenLogLabel(), "Open &log");

    // Nothing known but that no log is written: the box still says so.
    FatalReport bare;
    bare.language = "de";
    EXPECT_EQ(bare.Details(), wxString(L"Protokolldatei: keine (die Protokollierung ist "
                                       L"ausgeschaltet oder nicht möglich)"));
    EXPECT_EQ(bare.OpenLogLabel(), wxString(L"&Protokoll öffnen"));
    EXPECT_TRUE(bare.CopyText("Fehler", "x").Contains(L"Konfiguration: ?"));
}
