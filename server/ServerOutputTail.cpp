#include "server/ServerOutputTail.h"

namespace {
size_t Utf8Size(const wxString& line) {
    return line.utf8_str().length() + 1;
}
} // namespace

void ServerOutputTail::Add(const wxString& line) {
    wxString kept = line;
    // What counts at the end of a long line is usually its last words.
    while (Utf8Size(kept) > kMostBytes)
        kept = wxString(L"\u2026") + kept.Right(kept.length() * 3 / 4);
    m_lines.push_back(kept);
    m_bytes += Utf8Size(kept);
    while (m_lines.size() > kMostLines || m_bytes > kMostBytes) {
        m_bytes -= Utf8Size(m_lines.front());
        m_lines.pop_front();
    }
}

void ServerOutputTail::Clear() {
    m_lines.clear();
    m_bytes = 0;
}

std::vector<wxString> ServerOutputTail::Lines() const {
    return {m_lines.begin(), m_lines.end()};
}

ServerOutputTail& ServerOutputTail::Current() {
    static ServerOutputTail tail;
    return tail;
}
