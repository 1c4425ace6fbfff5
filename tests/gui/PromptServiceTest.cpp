#include "browserlib/runtime/xpcom/nsComponentManager.h"
#include "browserlib/runtime/xpcom/nsMemory.h"
#include "browserlib/services/CPromptService.h"
#include "browserlib/services/PromptResources.h"
#include "browserlib/services/PromptServiceFactory.h"
#include "tests/gui/BrowserTestSupport.h"
#include "tests/unit/TestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/fs_mem.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

namespace {
// What the "user" does with the next dialog: the answer, and what it saw.
std::function<int(wxDialog*)> g_user;
struct Seen {
    wxString title, message, checkLabel;
    bool checked = false;
    wxString input, user, password;
    wxSize size, messageSize;
} g_seen;

template <class T> T* Find(wxDialog* dialog, const char* name) {
    return dynamic_cast<T*>(dialog->FindWindow(XRCID(name)));
}

int Answer(wxDialog* dialog) {
    g_seen = Seen{};
    g_seen.title = dialog->GetTitle();
    if (auto* m = dialog->FindWindow(XRCID("textctrlMsg"))) {
        g_seen.message = m->GetLabel();
        g_seen.messageSize = m->GetSize();
    }
    if (auto* c = Find<wxCheckBox>(dialog, "checkboxUser")) {
        g_seen.checkLabel = c->GetLabel();
        g_seen.checked = c->GetValue();
    }
    if (auto* t = Find<wxTextCtrl>(dialog, "ID_TEXTCTRL_USERINPUT"))
        g_seen.input = t->GetValue();
    if (auto* t = Find<wxTextCtrl>(dialog, "ID_TEXTCTRL_USERNAME"))
        g_seen.user = t->GetValue();
    if (auto* t = Find<wxTextCtrl>(dialog, "ID_TEXTCTRL_PASSWORD"))
        g_seen.password = t->GetValue();
    g_seen.size = dialog->GetSize();
    return g_user(dialog);
}

class PromptServiceTest : public testing::Test {
protected:
    void SetUp() override {
        CPromptService::s_showModal = Answer;
        service = do_GetService<nsIPromptService>("@mozilla.org/embedcomp/prompt-service;1");
        ASSERT_TRUE(service) << "the library registers its prompt service";
    }
    LibraryFixture lib;
    nsCOMPtr<nsIPromptService> service;
};

std::string Take(PRUnichar* text) {
    const std::string result = text ? nsMemory::ToUTF8(text) : "(null)";
    nsMemory::Free(text);
    return result;
}
} // namespace

TEST_F(PromptServiceTest, PromptOkReturnsANewStringAndCancelKeepsTheOld) {
    g_user = [](wxDialog* d) {
        Find<wxTextCtrl>(d, "ID_TEXTCTRL_USERINPUT")->SetValue("typed");
        Find<wxCheckBox>(d, "checkboxUser")->SetValue(false);
        return wxID_OK;
    };
    PRUnichar* value = nsMemory::CloneUnicode(u"initial");
    PRBool check = true, result = false;
    ASSERT_EQ(
        service->Prompt(nullptr, u"Question", u"Your name?", &value, u"Remember", &check, &result),
        NS_OK);
    EXPECT_TRUE(result);
    EXPECT_FALSE(check) << "unticked and OK writes false back";
    EXPECT_EQ(g_seen.title, "Question");
    EXPECT_EQ(g_seen.message, "Your name?");
    EXPECT_EQ(g_seen.checkLabel, "Remember");
    EXPECT_TRUE(g_seen.checked) << "a true check state shows ticked";
    EXPECT_EQ(g_seen.input, "initial");
    EXPECT_EQ(Take(value), "typed");

    g_user = [](wxDialog*) { return wxID_CANCEL; };
    PRUnichar* kept = nsMemory::CloneUnicode(u"old");
    PRUnichar* before = kept;
    check = true;
    ASSERT_EQ(service->Prompt(nullptr, u"Q", u"T", &kept, nullptr, &check, &result), NS_OK);
    EXPECT_FALSE(result);
    EXPECT_EQ(kept, before) << "cancel leaves the caller's string alone";
    EXPECT_TRUE(check);
    nsMemory::Free(kept);

    g_user = [](wxDialog*) { return wxID_OK; };
    PRUnichar* empty = nullptr;
    ASSERT_EQ(service->Prompt(nullptr, u"Q", u"T", &empty, nullptr, nullptr, &result), NS_OK);
    EXPECT_TRUE(result);
    ASSERT_NE(empty, nullptr) << "an unchanged empty field still gives a new string";
    EXPECT_EQ(Take(empty), "");
    EXPECT_EQ(service->Prompt(nullptr, u"Q", u"T", nullptr, nullptr, nullptr, &result),
              NS_ERROR_NULL_POINTER);
}

TEST_F(PromptServiceTest, UserNameAndPasswordComeBackThroughTheirOwnPointers) {
    g_user = [](wxDialog* d) {
        Find<wxTextCtrl>(d, "ID_TEXTCTRL_USERNAME")->SetValue("demo");
        Find<wxTextCtrl>(d, "ID_TEXTCTRL_PASSWORD")->SetValue("velta");
        return wxID_OK;
    };
    PRUnichar* user = nsMemory::CloneUnicode(u"guest");
    PRUnichar* password = nullptr;
    PRBool check = false, result = false;
    ASSERT_EQ(service->PromptUsernameAndPassword(nullptr, u"Login", u"Enter your credentials",
                                                 &user, &password, u"Save", &check, &result),
              NS_OK);
    EXPECT_TRUE(result);
    EXPECT_EQ(g_seen.user, "guest");
    EXPECT_EQ(Take(user), "demo");
    EXPECT_EQ(Take(password), "velta");
    EXPECT_EQ(service->PromptUsernameAndPassword(nullptr, u"L", u"T", nullptr, &password, nullptr,
                                                 nullptr, &result),
              NS_ERROR_NULL_POINTER);

    password = nullptr;
    g_user = [](wxDialog* d) {
        Find<wxTextCtrl>(d, "ID_TEXTCTRL_PASSWORD")->SetValue("secret");
        return wxID_OK;
    };
    ASSERT_EQ(service->PromptPassword(nullptr, u"P", u"Password please", &password, nullptr,
                                      nullptr, &result),
              NS_OK);
    EXPECT_EQ(Take(password), "secret");
}

TEST_F(PromptServiceTest, ConfirmCheckAndAlertCheck) {
    g_user = [](wxDialog*) { return wxID_CANCEL; };
    PRBool check = false, result = true;
    ASSERT_EQ(service->ConfirmCheck(nullptr, u"C", u"Sure?", u"Don't ask", &check, &result), NS_OK);
    EXPECT_FALSE(result);
    g_user = [](wxDialog* d) {
        Find<wxCheckBox>(d, "checkboxUser")->SetValue(true);
        return wxID_OK;
    };
    ASSERT_EQ(service->ConfirmCheck(nullptr, u"C", u"Sure?", u"Don't ask", &check, &result), NS_OK);
    EXPECT_TRUE(result);
    EXPECT_TRUE(check);
    check = false;
    ASSERT_EQ(service->AlertCheck(nullptr, u"A", u"Note this", u"Seen", &check), NS_OK);
    EXPECT_TRUE(check);
}

TEST_F(PromptServiceTest, ConfirmExAgreesOnlyWithItsFirstButton) {
    // The permission question: the caller's words on the buttons; anything but
    // the first (Escape, the close box) refuses.
    static wxString labels;
    g_user = [](wxDialog* d) {
        auto* box = dynamic_cast<wxMessageDialogBase*>(d);
        labels = box ? box->GetYesLabel() + "|" + box->GetNoLabel() : wxString();
        return wxID_YES;
    };
    PRInt32 pressed = -1;
    ASSERT_EQ(service->ConfirmEx(nullptr, u"Velta Demo", u"Allow?", 0, u"&Allow", u"&Block",
                                 nullptr, nullptr, nullptr, &pressed),
              NS_OK);
    EXPECT_EQ(pressed, 0);
    EXPECT_TRUE(labels.Contains("Allow")) << labels;
    EXPECT_TRUE(labels.Contains("Block")) << labels;
    for (int answer : {wxID_NO, wxID_CANCEL}) {
        static int given;
        given = answer;
        g_user = [](wxDialog*) { return given; };
        pressed = -1;
        ASSERT_EQ(service->ConfirmEx(nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, &pressed),
                  NS_OK);
        EXPECT_EQ(pressed, 1) << answer;
    }
}

TEST_F(PromptServiceTest, LongMessagesRefitTheDialogInsteadOfBeingCutOff) {
    g_user = [](wxDialog*) { return wxID_OK; };
    std::u16string longText(60, u'W');
    longText +=
        u" and a second sentence that makes the message wrap onto further lines of the dialog.";
    PRUnichar* value = nullptr;
    PRBool result = false;
    ASSERT_EQ(service->Prompt(nullptr, u"Q", longText.c_str(), &value, u"A check box label",
                              nullptr, &result),
              NS_OK);
    nsMemory::Free(value);
    EXPECT_GT(g_seen.size.x, g_seen.messageSize.x) << "the dialog holds its whole message";
    EXPECT_GT(g_seen.messageSize.x, 300);
}

TEST_F(PromptServiceTest, AlertAndConfirmAreMessageBoxes) {
    static long s_style = 0;
    static wxWindow* s_parent = reinterpret_cast<wxWindow*>(1);
    CPromptService::s_messageBox = [](const wxString&, const wxString&, long style,
                                      wxWindow* parent) {
        s_style = style;
        s_parent = parent;
        return wxYES;
    };
    lib.CreateHosted();
    nsCOMPtr<nsIDOMWindow> window;
    nsCOMPtr<nsIWindowWatcher> watcher =
        do_GetService<nsIWindowWatcher>("@mozilla.org/embedcomp/window-watcher;1");
    PRBool result = false;
    ASSERT_EQ(service->Confirm(window, u"Confirm", u"Go on?", &result), NS_OK);
    EXPECT_TRUE(result);
    EXPECT_EQ(s_style, wxYES_NO | wxICON_EXCLAMATION);
    EXPECT_EQ(s_parent, nullptr) << "confirm never has a parent";
    ASSERT_EQ(service->Alert(nullptr, u"Alert", u"Hello"), NS_OK);
    EXPECT_EQ(s_style, wxOK | wxICON_INFORMATION);
}

TEST_F(PromptServiceTest, MissingControlsAreLoggedAndReportFalse) {
    // A resource document whose prompt lacks its check box.
    const char* broken = R"(<?xml version="1.0"?><resource><object class="wxDialog" name="Prompt">
        <object class="wxBoxSizer"><orient>wxVERTICAL</orient>
        <object class="sizeritem"><object class="wxStaticText" name="textctrlMsg"><label>x</label></object></object>
        <object class="sizeritem"><object class="wxTextCtrl" name="ID_TEXTCTRL_USERINPUT"/></object>
        </object></object></resource>)";
    const wxString real = wxString(wxS("memory:")) + PromptResources::MemoryFileName;
    wxXmlResource::Get()->Unload(real);
    wxMemoryFSHandler::AddFile("test_broken.xrc", broken, std::strlen(broken));
    ASSERT_TRUE(wxXmlResource::Get()->Load("memory:test_broken.xrc"));

    g_user = [](wxDialog*) { return wxID_OK; };
    PRUnichar* value = nsMemory::CloneUnicode(u"keep");
    PRUnichar* before = value;
    PRBool result = true;
    {
        LogCapture log;
        ASSERT_EQ(service->Prompt(nullptr, u"Q", u"T", &value, nullptr, nullptr, &result), NS_OK);
        EXPECT_TRUE(log.Contains("CPromptService::Prompt, checkboxUser not found"));
        EXPECT_FALSE(result);
        EXPECT_EQ(value, before);
        PRBool check = false;
        ASSERT_EQ(service->AlertCheck(nullptr, u"A", u"T", u"C", &check), NS_OK);
        EXPECT_TRUE(log.Contains("CPromptService::AlertCheck, AlertCheck dialog not found"));
    }
    nsMemory::Free(value);
    wxXmlResource::Get()->Unload("memory:test_broken.xrc");
    wxMemoryFSHandler::RemoveFile("test_broken.xrc");
    ASSERT_TRUE(wxXmlResource::Get()->Load(real));
}

TEST(PromptServiceFactoryTest, FactoryRules) {
    nsCOMPtr<nsIFactory> factory;
    EXPECT_EQ(CreatePromptService(nullptr), NS_ERROR_NULL_POINTER);
    ASSERT_EQ(CreatePromptService(getter_AddRefs(factory)), NS_OK);
    nsCOMPtr<nsIPromptService> made;
    EXPECT_EQ(
        factory->CreateInstance(nullptr, NS_GET_IID(nsIPromptService), made.StartAssignmentVoid()),
        NS_OK);
    EXPECT_TRUE(made);
    nsCOMPtr<nsIPref> wrong;
    EXPECT_EQ(factory->CreateInstance(nullptr, NS_GET_IID(nsIPref), wrong.StartAssignmentVoid()),
              NS_NOINTERFACE);
    EXPECT_EQ(factory->CreateInstance(nullptr, NS_GET_IID(nsIPromptService), nullptr),
              NS_ERROR_NULL_POINTER);
}
