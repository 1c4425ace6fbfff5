#include "config/ConfigFindings.h"

#include "config/XmlConfig.h"

#include <algorithm>
#include <map>

namespace {
using Finding = ConfigFindings::Finding;

const char* const kRect[] = {"x", "y", "dx", "dy", nullptr};

// Every key of class "configuration" and the attributes it takes besides
// name, class and os.
const std::map<wxString, std::vector<const char*>>& Keys() {
    static const std::map<wxString, std::vector<const char*>> keys = {
        {"StartUrl", {"timeout", "useexternalbrowserforexternalurls"}},
        {"TempDirectory", {}},
        {"JavaHomeDirectory", {}},
        {"PathEnvVar", {}},
        {"SplashScreenStart", {}},
        {"SplashScreenEnd", {}},
        {"ServerDirectory", {}},
        {"ServerStartCommand", {}},
        {"ServerEnvironment", {}},
        {"ServerUrl", {"intervalMS"}},
        {"ServerPort", {"baseport"}},
        {"CommandPrefix", {}},
        {"AppCommandShutdown", {}},
        {"BGColor", {}},
        {"IconUrl", {}},
        {"ClassPath", {}},
        {"RelativeExternalUrls", {}},
        {"UILanguage", {}},
        {"AppDataDirectory", {}},
        {"BrowserDataDirectory", {}},
        {"OpenUrl", {}},
        {"Permissions",
         {"notifications", "geolocation", "camera", "microphone", "clipboard", "persistentstorage",
          "deviceinfo", "pointerlock", "mediakeys", "storageaccess", "mediaplugins", "screen"}},
        {"UrlSchemes", {}},
        {"MainWindowRect", {kRect, kRect + 4}},
        {"BrowserWindowRect", {kRect, kRect + 4}},
        {"SplashWindowRect", {kRect, kRect + 4}},
        {"MainWindowMode",
         {"fullscreen", "center", "keepresolution", "browserkeys", "contextmenu", "refreshDelayMS",
          "remember"}},
        {"Resize", {"enable", "sizebrowser", "center", "scrollbar"}},
        {"Logging", {"enable", "file", "level"}},
    };
    return keys;
}

size_t Distance(const wxString& a, const wxString& b) {
    std::vector<size_t> row(b.length() + 1);
    for (size_t j = 0; j <= b.length(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.length(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.length(); ++j) {
            const size_t above = row[j];
            row[j] =
                std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.length()];
}

bool IsNumber(const wxString& text) {
    const wxString t = text.Strip(wxString::both);
    return !t.empty() &&
           std::all_of(t.begin(), t.end(), [](wxUniChar c) { return c >= '0' && c <= '9'; });
}

bool IsSignedNumber(const wxString& text) {
    wxString t = text.Strip(wxString::both);
    if (t.StartsWith(wxS("-")) || t.StartsWith(wxS("+")))
        t = t.substr(1);
    return IsNumber(t);
}

wxString Unknown(const wxString& what, const wxString& name, const wxArrayString& known) {
    const wxString nearest = ConfigFindings::Nearest(name, known);
    return nearest.empty()
               ? name + wxS(": unknown ") + what
               : name + wxS(": unknown ") + what + wxS("; did you mean ") + nearest + wxS("?");
}

void CheckValues(const wxXmlNode* node, const wxString& key, std::vector<Finding>& out) {
    const int line = node->GetLineNumber();
    auto add = [&](const wxString& text) { out.push_back({line, text}); };
    auto number = [&](const char* attribute, const wxString& instead) {
        wxString value;
        if (node->GetAttribute(attribute, &value) && !IsNumber(value))
            add(key + wxS(" ") + attribute + wxS("=\"") + value + wxS("\": not a number; ") +
                instead);
    };
    if (key == wxS("ServerPort"))
        number("baseport",
               wxS("the host uses ") +
                   wxString::Format(wxS("%lu"),
                                    XmlConfig::ParseUnsigned(node->GetAttribute(wxS("baseport")))));
    if (key == wxS("StartUrl"))
        number("timeout", wxS("the host uses its own limit"));
    if (key == wxS("ServerUrl"))
        number("intervalMS", wxS("the host checks once a second"));
    if (key == wxS("MainWindowMode"))
        number("refreshDelayMS", wxS("the host uses none"));
    if (key == wxS("Permissions"))
        for (const wxXmlAttribute* a = node->GetAttributes(); a; a = a->GetNext()) {
            const wxString value = a->GetValue().Lower();
            if (a->GetName() == wxS("name") || a->GetName() == wxS("class") ||
                value == wxS("allow") || value == wxS("deny") || value == wxS("ask"))
                continue;
            add(wxS("Permissions ") + a->GetName() + wxS("=\"") + a->GetValue() +
                wxS("\": none of allow, deny, ask; the host ") +
                (a->GetName() == wxS("notifications") ? wxS("asks") : wxS("refuses")));
        }
    if (key == wxS("OpenUrl") && !node->GetNodeContent().Contains(wxS("VELTA_OPEN_ARG")))
        add(wxS("OpenUrl: holds no VELTA_OPEN_ARG; the application is not told what to open"));
    if (key.EndsWith(wxS("Rect"))) {
        for (const char* const* a = kRect; *a; ++a) {
            wxString value;
            if (node->GetAttribute(*a, &value) && !IsSignedNumber(value))
                add(key + wxS(" ") + *a + wxS("=\"") + value +
                    wxS("\": not a number; the host uses ") +
                    wxString::Format(wxS("%ld"), XmlConfig::ParseSigned(value)));
        }
        const long dx = XmlConfig::ParseSigned(node->GetAttribute(wxS("dx")));
        const long dy = XmlConfig::ParseSigned(node->GetAttribute(wxS("dy")));
        if (dx < 0 || dy < 0)
            add(key + wxS(": a negative size (") + wxString::Format(wxS("%ld x %ld"), dx, dy) +
                wxS("); the host uses its default size instead"));
    }
    if (key == wxS("Logging")) {
        wxString level;
        if (node->GetAttribute(wxS("level"), &level)) {
            const wxString lower = level.Lower();
            if (lower != wxS("error") && lower != wxS("warning") && lower != wxS("message")) {
                wxArrayString levels;
                levels.Add(wxS("error"));
                levels.Add(wxS("warning"));
                levels.Add(wxS("message"));
                const wxString nearest = ConfigFindings::Nearest(level, levels);
                add(wxS("Logging level=\"") + level +
                    wxS("\": none of error, warning, message; the host logs messages") +
                    (nearest.empty() ? wxString() : wxS(" (did you mean ") + nearest + wxS("?)")));
            }
        }
    }
}

void Walk(const wxXmlNode* parent, const wxString& os, std::vector<Finding>& out) {
    wxArrayString keys, classes;
    for (const auto& [name, attributes] : Keys())
        keys.Add(name);
    classes.Add(wxS("configuration"));
    for (const wxXmlNode* node = parent->GetChildren(); node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE)
            continue;
        wxString nodeOs;
        if (node->GetName() == wxS("configuration") && node->GetAttribute(wxS("os"), &nodeOs) &&
            nodeOs != os)
            continue; // another system's section
        if (node->GetName() != wxS("object") && node->GetName() != wxS("object_ref")) {
            Walk(node, os, out);
            continue;
        }
        const int line = node->GetLineNumber();
        const wxString name = node->GetAttribute(wxS("name"));
        const wxString cls = node->GetAttribute(wxS("class"));
        if (cls != wxS("configuration")) {
            out.push_back({line, Unknown(wxS("class"),
                                         cls.empty() ? wxString(wxS("(no class)")) : cls, classes) +
                                     wxS(" (key ") + name + wxS(")")});
            continue;
        }
        const auto known = Keys().find(name);
        if (known == Keys().end()) {
            out.push_back({line, Unknown(wxS("key"), name, keys)});
            continue;
        }
        wxArrayString attributes;
        for (const char* a : known->second)
            attributes.Add(a);
        for (const wxXmlAttribute* a = node->GetAttributes(); a; a = a->GetNext()) {
            const wxString attribute = a->GetName();
            if (attribute == wxS("name") || attribute == wxS("class") || attribute == wxS("os") ||
                attributes.Index(attribute) != wxNOT_FOUND)
                continue;
            out.push_back(
                {line, name + wxS(" ") + Unknown(wxS("attribute"), attribute, attributes)});
        }
        CheckValues(node, name, out);
    }
}
} // namespace

wxString ConfigFindings::Nearest(const wxString& word, const wxArrayString& known) {
    const wxString lower = word.Lower();
    wxString best;
    size_t bestDistance = lower.length() / 3 + 1; // a third of its letters, and at least one
    for (const wxString& name : known) {
        const size_t distance = Distance(lower, name.Lower());
        if (distance < bestDistance || (distance == 0 && best.empty())) {
            best = name;
            bestDistance = distance;
        }
    }
    return best;
}

std::vector<Finding> ConfigFindings::Of(const wxXmlDocument& document, const wxString& os) {
    std::vector<Finding> findings;
    const wxXmlNode* root = document.IsOk() ? document.GetRoot() : nullptr;
    wxString rootOs;
    if (!root || (root->GetName() == wxS("configuration") &&
                  root->GetAttribute(wxS("os"), &rootOs) && rootOs != os))
        return findings;
    Walk(root, os, findings);
    return findings;
}

wxString ConfigFindings::Format(const wxString& file, const Finding& finding) {
    return wxString::Format(wxS("%s:%d: %s"), file, finding.line, finding.text);
}
