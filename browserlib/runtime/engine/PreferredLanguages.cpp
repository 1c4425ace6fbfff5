#include "browserlib/runtime/engine/PreferredLanguages.h"

#include <algorithm>
#include <cctype>

namespace {
// "de_DE.UTF-8@euro" -> "de-DE"; empty for C, POSIX and what is no tag.
std::string Tag(const std::string& name) {
    std::string tag = name.substr(0, name.find_first_of(".@"));
    std::replace(tag.begin(), tag.end(), '_', '-');
    if (tag.empty() || tag == "C" || tag == "POSIX")
        return std::string();
    for (char c : tag)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-')
            return std::string();
    const size_t dash = tag.find('-');
    for (size_t i = 0; i < tag.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(tag[i]);
        tag[i] = static_cast<char>(i < dash ? std::tolower(c) : std::toupper(c));
    }
    return tag;
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}
} // namespace

std::vector<std::string> PreferredLanguages::For(const std::string& interfaceLanguage,
                                                 const std::vector<std::string>& localeNames) {
    std::vector<std::string> tags;
    auto add = [&tags](const std::string& tag) {
        if (tag.empty())
            return;
        for (const std::string& known : tags)
            if (Lower(known) == Lower(tag))
                return;
        tags.push_back(tag);
    };
    add(Tag(interfaceLanguage));
    for (const std::string& name : localeNames)
        add(Tag(name));
    return tags;
}
