#pragma once

#include <cstdio>
#include <wx/log.h>
#include <wx/string.h>

class RotatingLogFile;

// Where the host's log entries go and which levels pass.
class HostLog {
public:
    // "error" -> errors only, "warning" -> errors and warnings, anything else
    // -> messages too. Compared after lower-casing.
    static wxLogLevel LevelFromName(const wxString& name);
    static void ApplyLogLevel(const wxString& name);

    // A target writing "time: [Error: |Warning: ]text" lines, UTF-8, flushed per
    // entry, to `file` (the standard error stream when null).
    static wxLog* CreateTarget(FILE* file);
    // The same lines into a log file that rotates at its size limit.
    static wxLog* CreateRotatingTarget(RotatingLogFile* file);

    // Formats one line as the targets write it (without the line end).
    // `text` for a log line: every word longer than `most` (an address: a
    // data: URL may hold a whole document) is cut, with a marker and its length.
    static wxString Shortened(const wxString& text, size_t most = 300);
    static wxString FormatLine(wxLogLevel level, const wxString& text, time_t when);
    // A secret no log line may show: wherever it stands, "…" does.
    static void HideSecret(const wxString& secret);
    // `text` with that secret hidden, for text that leaves the log's path.
    static wxString WithoutSecret(const wxString& text);
};
