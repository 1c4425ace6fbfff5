#include "config/XmlDocumentReader.h"

#include <cstdio>
#include <expat.h>
#include <memory>
#include <wx/strconv.h>
#include <wx/xml/xml.h>

namespace {
struct Builder {
    XML_Parser parser = nullptr;
    std::unique_ptr<wxXmlNode> documentNode{new wxXmlNode(wxXML_DOCUMENT_NODE, wxString())};
    wxXmlNode* current = nullptr;   // the open element, or the document node
    wxXmlNode* lastChild = nullptr; // the last child of `current`
    std::string text;               // character data not yet a node
    bool inCdata = false;
    int depth = 0;
    bool tooDeep = false;
    wxString encoding = wxS("UTF-8");
    wxString version = wxS("1.0");

    void Append(wxXmlNode* node) {
        if (lastChild)
            current->InsertChildAfter(node, lastChild);
        else
            current->AddChild(node);
        lastChild = node;
    }

    void FlushText() {
        if (text.empty())
            return;
        // Outside the root element only markup counts.
        if (current != documentNode.get())
            Append(new wxXmlNode(wxXML_TEXT_NODE, wxString(), wxString::FromUTF8(text)));
        text.clear();
    }
};

Builder& B(void* data) {
    return *static_cast<Builder*>(data);
}

void OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    Builder& b = B(data);
    if (++b.depth > XmlDocumentReader::kMaxDepth) {
        b.tooDeep = true;
        XML_StopParser(b.parser, XML_FALSE);
        return;
    }
    b.FlushText();
    // The line, for messages that name where a mistake is.
    auto* node = new wxXmlNode(wxXML_ELEMENT_NODE, wxString::FromUTF8(name), wxString(),
                               static_cast<int>(XML_GetCurrentLineNumber(b.parser)));
    // Attributes keep their document order.
    wxXmlAttribute* last = nullptr;
    for (const XML_Char** a = attributes; a[0] && a[1]; a += 2) {
        auto* attribute = new wxXmlAttribute(wxString::FromUTF8(a[0]), wxString::FromUTF8(a[1]));
        if (last)
            last->SetNext(attribute);
        else
            node->SetAttributes(attribute);
        last = attribute;
    }
    b.Append(node);
    b.current = node;
    b.lastChild = nullptr;
}

void OnEnd(void* data, const XML_Char*) {
    Builder& b = B(data);
    b.FlushText();
    --b.depth;
    b.lastChild = b.current;
    b.current = b.current->GetParent();
}

void OnText(void* data, const XML_Char* text, int length) {
    B(data).text.append(text, static_cast<size_t>(length));
}

void OnCdataStart(void* data) {
    Builder& b = B(data);
    b.FlushText();
    b.inCdata = true;
}

void OnCdataEnd(void* data) {
    Builder& b = B(data);
    b.inCdata = false;
    b.Append(new wxXmlNode(wxXML_CDATA_SECTION_NODE, wxString(), wxString::FromUTF8(b.text)));
    b.text.clear();
}

void OnComment(void* data, const XML_Char* comment) {
    Builder& b = B(data);
    b.FlushText();
    b.Append(new wxXmlNode(wxXML_COMMENT_NODE, wxS("comment"), wxString::FromUTF8(comment)));
}

void OnProcessingInstruction(void* data, const XML_Char* target, const XML_Char* content) {
    Builder& b = B(data);
    b.FlushText();
    b.Append(new wxXmlNode(wxXML_PI_NODE, wxString::FromUTF8(target), wxString::FromUTF8(content)));
}

void OnDeclaration(void* data, const XML_Char* version, const XML_Char* encoding, int) {
    Builder& b = B(data);
    if (version)
        b.version = wxString::FromUTF8(version);
    if (encoding)
        b.encoding = wxString::FromUTF8(encoding);
}

// Single-byte encodings that expat does not know itself (windows-1252, ...),
// through the toolkit's converters.
int OnUnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) {
    wxCSConv conv(wxString::FromUTF8(name));
    if (!conv.IsOk())
        return XML_STATUS_ERROR;
    for (int i = 0; i < 256; ++i) {
        const char byte[2] = {static_cast<char>(i), 0};
        wchar_t wide[2] = {0, 0};
        info->map[i] = conv.MB2WC(wide, byte, 2) == 1 ? static_cast<int>(wide[0]) : -1;
        if (i == 0)
            info->map[0] = 0;
    }
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
}

bool Parse(const char* bytes, size_t size, wxXmlDocument& document, wxString* error) {
    Builder b;
    b.current = b.documentNode.get();
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (!parser) {
        *error = wxS("out of memory");
        return false;
    }
    b.parser = parser;
    XML_SetUserData(parser, &b);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnText);
    XML_SetCdataSectionHandler(parser, OnCdataStart, OnCdataEnd);
    XML_SetCommentHandler(parser, OnComment);
    XML_SetProcessingInstructionHandler(parser, OnProcessingInstruction);
    XML_SetXmlDeclHandler(parser, OnDeclaration);
    XML_SetUnknownEncodingHandler(parser, OnUnknownEncoding, nullptr);
    const bool parsed = XML_Parse(parser, bytes, static_cast<int>(size), XML_TRUE) == XML_STATUS_OK;
    if (!parsed) {
        if (b.tooDeep)
            *error = wxString::Format(wxS("elements nested more than %d deep at line %lu"),
                                      XmlDocumentReader::kMaxDepth,
                                      static_cast<unsigned long>(XML_GetCurrentLineNumber(parser)));
        else
            *error = wxString::Format(wxS("%s at line %lu"),
                                      wxString::FromUTF8(XML_ErrorString(XML_GetErrorCode(parser))),
                                      static_cast<unsigned long>(XML_GetCurrentLineNumber(parser)));
    }
    XML_ParserFree(parser);
    if (!parsed)
        return false;
    bool hasRoot = false;
    for (wxXmlNode* n = b.documentNode->GetChildren(); n && !hasRoot; n = n->GetNext())
        hasRoot = n->GetType() == wxXML_ELEMENT_NODE;
    if (!hasRoot) {
        *error = wxS("no root element");
        return false;
    }
    document.SetDocumentNode(b.documentNode.release());
    document.SetVersion(b.version);
    document.SetFileEncoding(b.encoding);
    return true;
}
} // namespace

bool XmlDocumentReader::ReadText(const std::string& text, wxXmlDocument& document,
                                 wxString* error) {
    wxString ignored;
    if (!error)
        error = &ignored;
    if (text.size() > kMaxFileBytes) {
        *error = wxString::Format(wxS("larger than %lu bytes"),
                                  static_cast<unsigned long>(kMaxFileBytes));
        return false;
    }
    return Parse(text.data(), text.size(), document, error);
}

bool XmlDocumentReader::ReadFile(const wxString& path, wxXmlDocument& document, wxString* error) {
    wxString ignored;
    if (!error)
        error = &ignored;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.fn_str(), "rb"), std::fclose);
    if (!file) {
        *error = wxS("cannot be opened");
        return false;
    }
    // Read no more than the limit allows, whatever the file claims to hold.
    std::string text;
    char chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0) {
        text.append(chunk, got);
        if (text.size() > kMaxFileBytes) {
            *error = wxString::Format(wxS("larger than %lu bytes"),
                                      static_cast<unsigned long>(kMaxFileBytes));
            return false;
        }
    }
    if (std::ferror(file.get())) {
        *error = wxS("cannot be read");
        return false;
    }
    return Parse(text.data(), text.size(), document, error);
}
