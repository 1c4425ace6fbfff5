#pragma once

#include <cstddef>
#include <deque>
#include <vector>
#include <wx/string.h>

// The last lines the server wrote, for a fatal message: the log may have left
// them out (its rate limit) and the user should not have to find the log first.
class ServerOutputTail {
public:
    static constexpr size_t kMostLines = 20;
    static constexpr size_t kMostBytes = 4096; // UTF-8, line ends included

    void Add(const wxString& line);
    void Clear();
    // Oldest first; a single line longer than the byte limit keeps its end.
    std::vector<wxString> Lines() const;

    // The one tail of the running host, which a fatal message reads.
    static ServerOutputTail& Current();

private:
    std::deque<wxString> m_lines;
    size_t m_bytes = 0;
};
