#pragma once

#include <string>

// Text put into a page the engine shows of its own.
class HtmlText {
public:
    // `text` as HTML text or attribute value: never markup.
    static std::string Escape(const std::string& text);
};
