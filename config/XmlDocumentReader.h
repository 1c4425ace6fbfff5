#pragma once

#include <cstddef>
#include <string>
#include <wx/string.h>

class wxXmlDocument;

// Reads an XML file into a toolkit XML document with expat, in one pass and
// in time proportional to the file: every node is built once and text is
// collected before it becomes a node. Files that are too large or too deeply
// nested for a configuration are refused rather than read.
class XmlDocumentReader {
public:
    static constexpr size_t kMaxFileBytes = 16u << 20;
    static constexpr int kMaxDepth = 512;

    // Replaces `document`'s content with the file's; false, with the reason in
    // `error`, leaves `document` as it was.
    static bool ReadFile(const wxString& path, wxXmlDocument& document, wxString* error);
    // The same for a document held in memory.
    static bool ReadText(const std::string& text, wxXmlDocument& document, wxString* error);
};
