#pragma once

#include <wx/string.h>

// The dialog resource document of the prompt service, carried in the program
// and installed in the toolkit's in-memory file system.
class PromptResources {
public:
    static constexpr const char* MemoryFileName =
        "XRC_resource/XMLresource.cpp$.._wxMozBrowserLib_Resource_wxMozBrowserLib_wdr.xrc";
    static const char* Document();
    // Adds the document to the memory file system (and the handler if missing)
    // and loads it into the global resource object.
    static bool Install();
};
