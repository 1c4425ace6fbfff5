#pragma once

#include <cstddef>
#include <wx/string.h>

// A line of the server's output as the log shows it. Servers print what they
// like: empty lines, Latin-1, cut UTF-8, terminal colours. Valid UTF-8 is
// taken as it is; each byte that is not, and NUL, becomes U+FFFD.
namespace ServerOutputText {
wxString Decode(const char* text, size_t length);
}
