#pragma once

#include <functional>
#include <wx/string.h>

class HostConfig;

// Where the log file lives: the configured directory with its variable
// references rewritten to fall back on other variables, expanded, made
// absolute, and created when missing.
class LogFilePath {
public:
    using Lookup = std::function<bool(const wxString& name, wxString* value)>;

    // The absolute log file path for `config`, reading the process environment.
    static wxString Build(const HostConfig& config);

    // The same with an explicit environment and current directory (tests).
    static wxString Build(const wxString& directory, const wxString& fileName,
                          const Lookup& environment, const wxString& currentDirectory);

    // A configured directory as a folder: expanded as the log's, absolute
    // (relative to `currentDirectory`), created when missing.
    static wxString Directory(const wxString& directory, const Lookup& environment,
                              const wxString& currentDirectory);
    static wxString Directory(const wxString& directory);

    // Steps before expansion: the home and profile fallbacks and "${data.dir}".
    static wxString RewriteReferences(const wxString& directory, const Lookup& environment);

    // Expands %NAME%, ${NAME}, $(NAME) and $NAME; unset variables stay as written.
    static wxString ExpandVariables(const wxString& text, const Lookup& environment);
};

wxString BuildLogFilePath(const HostConfig& config);
