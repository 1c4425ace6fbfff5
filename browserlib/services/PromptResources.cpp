#include "browserlib/services/PromptResources.h"

#include <cstring>
#include <memory>
#include <wx/filesys.h>
#include <wx/fs_mem.h>
#include <wx/log.h>
#include <wx/xrc/xmlres.h>

bool PromptResources::Install() {
    // Whether a memory file-system handler is there: try to open a dummy file.
    wxMemoryFSHandler::AddFile(wxS("XRC_resource/dummy_file"), wxS("dummy one"));
    bool haveHandler = false;
    {
        wxFileSystem fs;
        std::unique_ptr<wxFSFile> file(fs.OpenFile(wxS("memory:XRC_resource/dummy_file")));
        haveHandler = file != nullptr;
    }
    wxMemoryFSHandler::RemoveFile(wxS("XRC_resource/dummy_file"));
    if (!haveHandler)
        wxFileSystem::AddHandler(new wxMemoryFSHandler);
    const char* text = Document();
    {
        wxLogNull quiet; // installing it again replaces the old one
        wxMemoryFSHandler::RemoveFile(MemoryFileName);
    }
    wxMemoryFSHandler::AddFile(MemoryFileName, text, std::strlen(text));
    const wxString name = wxString(wxS("memory:")) + MemoryFileName;
    wxXmlResource::Get()->Unload(name); // each start-up installs it once, not once more
    return wxXmlResource::Get()->Load(name);
}
