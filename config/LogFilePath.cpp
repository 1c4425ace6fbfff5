#include "config/LogFilePath.h"

#include "config/HostConfig.h"
#include "platform/PlatformInfo.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/utils.h>

namespace {
void ReplaceAllForms(wxString& text, const wxString& name, const wxString& replacement) {
    text.Replace(wxS("%") + name + wxS("%"), replacement);
    text.Replace(wxS("${") + name + wxS("}"), replacement);
    text.Replace(wxS("$(") + name + wxS(")"), replacement);
}

bool IsNameChar(wxUniChar c) {
    return wxIsalnum(c) || c == wxS('_');
}

// Folds "." and ".." of an absolute path; ".." at the root stays at the root.
wxString FoldDots(const wxString& absolute) {
    const wxChar sep = PlatformInfo::PathSeparator();
    wxArrayString parts = wxSplit(absolute, sep, 0);
    wxArrayString kept;
    for (const wxString& part : parts) {
        if (part.empty() || part == wxS("."))
            continue;
        if (part == wxS("..")) {
            if (!kept.empty())
                kept.pop_back();
            continue;
        }
        kept.push_back(part);
    }
    wxString result;
    for (const wxString& part : kept)
        result << sep << part;
    return result.empty() ? wxString(sep) : result;
}
} // namespace

wxString LogFilePath::RewriteReferences(const wxString& directory, const Lookup& environment) {
    wxString d = directory;
    if (!environment(wxS("HOME"), nullptr))
        ReplaceAllForms(d, wxS("HOME"), wxS("%USERPROFILE%"));
    if (!environment(wxS("USERPROFILE"), nullptr)) {
        const wxChar sep = PlatformInfo::PathSeparator();
        if (environment(wxS("WINDIR"), nullptr) && environment(wxS("USERNAME"), nullptr))
            ReplaceAllForms(d, wxS("USERPROFILE"),
                            wxString(wxS("%WINDIR%")) + sep + wxS("Profiles") + sep +
                                wxS("%USERNAME%"));
        else
            ReplaceAllForms(d, wxS("USERPROFILE"), wxS("%TEMP%"));
    }
    d.Replace(wxS("${data.dir}"), wxS("velta"));
    return d;
}

wxString LogFilePath::ExpandVariables(const wxString& text, const Lookup& environment) {
    wxString out;
    size_t i = 0;
    while (i < text.size()) {
        const wxUniChar c = text[i];
        size_t nameStart = 0, nameEnd = 0, next = 0;
        bool reference = false;
        if (c == wxS('%')) {
            const size_t close = text.find(wxS('%'), i + 1);
            if (close != wxString::npos && close > i + 1) {
                nameStart = i + 1;
                nameEnd = close;
                next = close + 1;
                reference = true;
            }
        } else if (c == wxS('$') && i + 1 < text.size()) {
            const wxUniChar open = text[i + 1];
            if (open == wxS('{') || open == wxS('(')) {
                const size_t close = text.find(open == wxS('{') ? wxS('}') : wxS(')'), i + 2);
                if (close != wxString::npos) {
                    nameStart = i + 2;
                    nameEnd = close;
                    next = close + 1;
                    reference = true;
                }
            } else if (IsNameChar(open)) {
                size_t end = i + 1;
                while (end < text.size() && IsNameChar(text[end]))
                    ++end;
                nameStart = i + 1;
                nameEnd = end;
                next = end;
                reference = true;
            }
        }
        wxString value;
        if (reference && environment(text.substr(nameStart, nameEnd - nameStart), &value)) {
            out += value;
            i = next;
        } else if (reference) {
            out += text.substr(i, next - i);
            i = next;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

namespace {
// `path` with a leading "~" as the home folder, relative to `currentDirectory`.
wxString Absolute(const wxString& expanded, const LogFilePath::Lookup& environment,
                  const wxString& currentDirectory) {
    const wxChar sep = PlatformInfo::PathSeparator();
    wxString path = expanded;
    if (path.StartsWith(wxS("~")) && (path.size() == 1 || path[1] == sep)) {
        wxString home;
        if (environment(wxS("HOME"), &home))
            path = home + path.Mid(1);
    }
    if (!path.StartsWith(wxString(sep)))
        path = currentDirectory + sep + path;
    return path;
}
} // namespace

wxString LogFilePath::Build(const wxString& directory, const wxString& fileName,
                            const Lookup& environment, const wxString& currentDirectory) {
    const wxChar sep = PlatformInfo::PathSeparator();
    wxString path = ExpandVariables(RewriteReferences(directory, environment), environment);
    if (!path.empty() && path.Last() != sep)
        path += sep;
    path += fileName.empty() ? wxString(wxS("wxHostApp.log")) : fileName;
    path = FoldDots(Absolute(path, environment, currentDirectory));

    const wxString dir = path.BeforeLast(sep);
    if (!dir.empty() && !wxDirExists(dir)) {
        wxLogNull quiet;
        wxFileName::Mkdir(dir, 0777, wxPATH_MKDIR_FULL);
    }
    return path;
}

wxString LogFilePath::Directory(const wxString& directory, const Lookup& environment,
                                const wxString& currentDirectory) {
    const wxChar sep = PlatformInfo::PathSeparator();
    wxString path =
        Absolute(ExpandVariables(RewriteReferences(directory, environment), environment),
                 environment, currentDirectory);
    path = FoldDots(path + sep);
    while (path.length() > 1 && path.Last() == sep)
        path.RemoveLast();
    if (!wxDirExists(path)) {
        wxLogNull quiet;
        wxFileName::Mkdir(path, 0700, wxPATH_MKDIR_FULL);
    }
    return path;
}

wxString LogFilePath::Directory(const wxString& directory) {
    const Lookup environment = [](const wxString& name, wxString* value) {
        return wxGetEnv(name, value);
    };
    return Directory(directory, environment, wxGetCwd());
}

wxString LogFilePath::Build(const HostConfig& config) {
    const Lookup environment = [](const wxString& name, wxString* value) {
        return wxGetEnv(name, value);
    };
    return Build(config.GetAppDataDirectory(), config.GetLoggingFile(), environment, wxGetCwd());
}

wxString BuildLogFilePath(const HostConfig& config) {
    return LogFilePath::Build(config);
}
