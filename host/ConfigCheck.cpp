#include "host/ConfigCheck.h"

#include "config/LogFilePath.h"
#include "config/VELTAAppConfig.h"
#include "platform/ProgramPath.h"
#include "server/PortProbe.h"
#include "server/VELTAServerController.h"

#include <wx/cmdline.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/uri.h>

namespace {
// How many ports from the base one the check looks at, as the start would.
constexpr unsigned kPortsLooked = 10;

struct Report {
    std::ostream& out;
    int problems = 0;
    void Ok(const wxString& text) { out << "ok: " << text.utf8_str() << "\n"; }
    void Problem(const wxString& text) {
        ++problems;
        out << "problem: " << text.utf8_str() << "\n";
    }
};
} // namespace

wxString ConfigCheck::LocalFile(const wxString& setting, const wxString& programDirectory) {
    wxString path = setting.Strip(wxString::both);
    if (path.empty())
        return wxString();
    if (path.Lower().StartsWith(wxS("file:"))) {
        path = wxURI::Unescape(path.substr(5));
        while (path.StartsWith(wxS("//")))
            path = path.substr(1);
    } else if (path.Find(wxS("://")) != wxNOT_FOUND || path.Lower().StartsWith(wxS("about:")) ||
               path.Lower().StartsWith(wxS("data:"))) {
        return wxString();
    }
    wxFileName name(path);
    if (!name.IsAbsolute())
        name.MakeAbsolute(programDirectory);
    return name.GetFullPath();
}

int ConfigCheck::Run(const wxString& programDirectory, std::ostream& out) {
    wxLogNull quiet;
    Report report{out};
    VELTAAppConfig config;
    config.SetWorkingDirectory(programDirectory);
    wxFileName file(programDirectory, config.GetFileName());
    const wxString path = file.GetFullPath();
    wxString error;
    if (!config.LoadQuietly(&error)) {
        report.Problem(path + wxS(": cannot be read: ") + error);
        return 1;
    }
    report.Ok(wxS("read ") + path);
    for (const ConfigFindings::Finding& finding : config.Findings()) {
        ++report.problems;
        out << ConfigFindings::Format(path, finding).utf8_str() << "\n";
    }

    if (config.GetStartUrl().empty())
        report.Problem(wxS("StartUrl: none set; the host would show an empty page"));

    const wxString command = config.GetServerStartCommand();
    if (!command.empty()) {
        wxString directory = config.GetServerDirectory();
        if (!directory.empty()) {
            wxFileName folder = wxFileName::DirName(directory);
            if (!folder.IsAbsolute())
                folder.MakeAbsolute(programDirectory);
            directory = folder.GetFullPath();
            if (wxFileName::DirExists(directory))
                report.Ok(wxS("server folder ") + directory);
            else
                report.Problem(wxS("ServerDirectory: no such folder: ") + directory);
        }
        const wxArrayString words =
            wxCmdLineParser::ConvertStringToArgs(command, wxCMD_LINE_SPLIT_UNIX);
        const wxString searchPath = config.GetPathEnvVar().empty()
                                        ? ProgramPath::CurrentSearchPath()
                                        : config.GetPathEnvVar();
        if (!words.empty()) {
            wxString folder = directory;
            config.EnsureTrailingSeparator(folder);
            const wxString program =
                VELTAServerController::ResolveProgram(folder, words[0], searchPath);
            if (ProgramPath::IsExecutableFile(program))
                report.Ok(wxS("start program ") + program);
            else
                report.Problem(wxS("ServerStartCommand: the start program '") + words[0] +
                               wxS("' is not found (in the server folder or on ") + searchPath +
                               wxS(")"));
        }
        const unsigned base = config.GetBasePort();
        unsigned free = 0;
        for (unsigned port = base; port < base + kPortsLooked && port <= 65535 && !free; ++port)
            if (!PortProbe::IsTaken(port, 300))
                free = port;
        if (free == base)
            report.Ok(wxString::Format(wxS("base port %u is free"), base));
        else if (free)
            report.Ok(wxString::Format(wxS("base port %u is taken; the server would get %u"), base,
                                       free));
        else
            report.Problem(wxString::Format(wxS("ServerPort: ports %u to %u are all taken"), base,
                                            base + kPortsLooked - 1));
    }

    const struct {
        const char* key;
        wxString value;
    } files[] = {{"SplashScreenStart", config.GetSplashScreenStart()},
                 {"SplashScreenEnd", config.GetSplashScreenEnd()},
                 {"IconUrl", config.GetIconUrl()}};
    for (const auto& f : files) {
        const wxString local = LocalFile(f.value, programDirectory);
        if (local.empty())
            continue;
        if (wxFileName::FileExists(local))
            report.Ok(wxString(f.key) + wxS(" ") + local);
        else
            report.Problem(wxString(f.key) + wxS(": no such file: ") + local);
    }

    if (config.IsLoggingEnabled()) {
        wxFileName log(BuildLogFilePath(config));
        log.MakeAbsolute(programDirectory);
        const wxString folder = log.GetPath();
        if (wxFileName::DirExists(folder) ? wxFileName::IsDirWritable(folder)
                                          : wxFileName::Mkdir(folder, 0700, wxPATH_MKDIR_FULL))
            report.Ok(wxS("log ") + log.GetFullPath());
        else
            report.Problem(wxS("Logging: the log folder cannot be written: ") + folder);
    }
    out << (report.problems ? "to fix: " : "nothing to fix");
    if (report.problems)
        out << report.problems;
    out << "\n";
    return report.problems ? 1 : 0;
}
