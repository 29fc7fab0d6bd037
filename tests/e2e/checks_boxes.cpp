// Checks of the About and dedication boxes and of the ways that lead to them.
#include "harness.h"

#include <cstdio>

namespace e2e {

namespace {

// The About box and the dedication box, opened with posted messages.
void CheckAbout(const CKavrin& k)
{
    const HWND about = OpenAbout(k, WM_SYSCOMMAND, IDM_ABOUTBOX, "IDM_ABOUTBOX");
    if (!about)
        return;
    ExpectAbout(k, about);

    HWND widmung = OpenWidmung(k, about);
    if (!widmung)
        return;
    ExpectWidmung(widmung, about);   // its clip starts over, as the About box's did
    if (!CloseBox(widmung, about, CloseBy::Escape, "Widmung closed with Escape"))
        return;
    if (!IsWindow(about))
        return static_cast<void>(Fault("closing Widmung closed the About box too"));
    ExpectStartsOver(about, IDC_ANIMATION, IDR_AVI_ABOUT, "About box animation after Widmung");
    ExpectText(GetDlgItem(about, IDC_VERSION), VersionLine(), "version line after Widmung");
    widmung = OpenWidmung(k, about);
    if (!widmung || !CloseBox(widmung, about, CloseBy::Close, "Widmung closed with WM_CLOSE") ||
        !CloseBox(about, k.Main(), CloseBy::OkButton, "About box closed with its OK button"))
        return;
    if (!Boxes(k).empty())
        Fault("boxes still open: %s", Titles(k).c_str());
    ExpectText(k.Report(), k.Expected(), "report control after the boxes");
    ExpectEnd(k);
}

// System commands 0x0010 to 0x001F open the About box; others get the default processing.
void CheckSysCommands(const CKavrin& k)
{
    for (UINT id = 0x0010; id <= 0x001F; ++id) {
        char how[48];
        std::snprintf(how, sizeof how, "WM_SYSCOMMAND 0x%04x", id);
        const HWND about = OpenAbout(k, WM_SYSCOMMAND, id, how);
        if (!about)
            return;
        ExpectModalOver(about, k.Main(), how);
        ExpectText(GetDlgItem(about, IDC_VERSION), VersionLine(), how);
        if (!CloseBox(about, k.Main(), id % 2 ? CloseBy::SysClose : CloseBy::OkButton, how))
            return;
    }
    for (UINT id : {0x0000u, 0x000Fu, 0x0020u, 0x0110u, 0x1010u}) {
        PostMessageA(k.Main(), WM_SYSCOMMAND, id, 0);
        if (!k.Fence())
            return;
        if (!Boxes(k).empty())
            return static_cast<void>(Fault("WM_SYSCOMMAND 0x%04x opened a box: %s", id, Titles(k).c_str()));
    }
    if (!IsWindowEnabled(k.Main()))
        Fault("the main window is disabled after the system commands");
    if (!ExpectCopy(k, "copy after the system commands"))
        return;
    const HWND about = OpenAbout(k, WM_SYSCOMMAND, IDM_ABOUTBOX, "IDM_ABOUTBOX after the others");
    if (about && CloseBox(about, k.Main(), CloseBy::Escape, "About box closed with Escape"))
        ExpectEnd(k);
}

// ID_HELP opens the About box whatever its notification code.
void CheckHelp(const CKavrin& k)
{
    for (WORD code : {WORD{0}, WORD{1}, WORD{0xFFFF}}) {
        char how[48];
        std::snprintf(how, sizeof how, "ID_HELP with code 0x%04x", code);
        const HWND about = OpenAbout(k, WM_COMMAND, MAKEWPARAM(ID_HELP, code), how);
        if (!about)
            return;
        ExpectModalOver(about, k.Main(), how);
        if (!CloseBox(about, k.Main(), CloseBy::OkButton, how))
            return;
    }
    ExpectEnd(k);
}

// F1 pressed in the main window opens the About box; pressed in the box it opens no other.
void CheckF1(const CKavrin& k)
{
    Step("key ^Kavrin$ F1");
    const HWND about = WaitBox(k, expected::kAboutTitle.c_str(), "F1 in the main window");
    if (!about)
        return;
    ExpectModalOver(about, k.Main(), "About box opened with F1");
    Step("key %s F1 Escape", kAboutTitleX.c_str());
    ExpectOnlyClosed(k, about, nullptr, "F1 in the About box");
    if (WaitFor([&] { return IsWindowEnabled(k.Main()) != FALSE; }))
        ExpectEnd(k);
    else
        Fault("the main window stays disabled");
}

// Real right double-clicks: on the OK button and the animation nothing opens, in the About
// box's own client area the dedication box does.
void CheckRealDoubleClick(const CKavrin& k)
{
    HWND about = OpenAbout(k, WM_SYSCOMMAND, IDM_ABOUTBOX, "IDM_ABOUTBOX");
    if (!about)
        return;
    const POINT ok = Centre(GetDlgItem(about, IDOK)), anim = Centre(GetDlgItem(about, IDC_ANIMATION));
    Step("click %s %ld %ld 3 2", kAboutTitleX.c_str(), ok.x, ok.y);
    Step("click %s %ld %ld 3 2", kAboutTitleX.c_str(), anim.x, anim.y);
    Step("key %s Escape", kAboutTitleX.c_str());
    ExpectOnlyClosed(k, about, expected::kWidmungTitle, "a right double-click on the OK button or the animation");

    about = OpenAbout(k, WM_SYSCOMMAND, IDM_ABOUTBOX, "IDM_ABOUTBOX again");
    POINT p = {};
    if (!about || !FreePoint(about, p))
        return;
    ClientToScreen(about, &p);
    Step("click %s %ld %ld 3 2", kAboutTitleX.c_str(), p.x, p.y);
    const HWND widmung = WaitBox(k, expected::kWidmungTitle, "a real right double-click in the About box");
    if (!widmung)
        return;
    ExpectModalOver(widmung, about, "Widmung");
    ExpectText(GetDlgItem(widmung, IDC_WIDMUNG_TEXT), expected::kWidmungText, "Widmung text");
    Step("key ^Widmung$ Escape");
    if (!WaitFor([&] { return IsWindow(widmung) == FALSE; }))
        return static_cast<void>(Fault("Widmung did not close at the Escape key"));
    if (CloseBox(about, k.Main(), CloseBy::OkButton, "About box after Widmung"))
        ExpectEnd(k);
}

// A copy of the program named Andere.exe names its About box after itself and still finds its
// version block; one named Andere.bin looks for Andere.exe, finds none and shows the box without
// the version texts.
void CheckOtherName(const char* file, bool versionRead)
{
    CTempDir dir;
    CKavrin k;
    if (!dir.Copy("Kavrin.exe", file) || !k.Start(file, dir.Path().c_str()))
        return;
    const HWND about = OpenAbout(k, WM_COMMAND, ID_HELP, file, (expected::kAboutTitlePrefix + std::string("Andere")).c_str());
    if (!about)
        return;
    ExpectAbout(k, about, "Andere", versionRead);
    if (CloseBox(about, k.Main(), CloseBy::OkButton, file))
        ExpectEnd(k);
}

// The About item reached as a user reaches it: Alt+Space opens the system menu, Up goes to its
// last item, Enter chooses it.
void CheckSystemMenu(const CKavrin& k)
{
    Step("key ^Kavrin$ alt+space");
    if (!WaitFor([&] { return OpenMenu(k) != nullptr; }))
        return static_cast<void>(Fault("Alt+Space opened no menu"));
    Step("key ^Kavrin$ Up Return");
    const HWND about = WaitBox(k, expected::kAboutTitle.c_str(), "Up and Enter in the system menu");
    if (!about)
        return;
    ExpectModalOver(about, k.Main(), "About box from the system menu");
    if (CloseBox(about, k.Main(), CloseBy::OkButton, "About box from the system menu"))
        ExpectEnd(k);
}

}  // namespace

std::vector<Check> BoxChecks()
{
    return {
        {"about", Started<CheckAbout>,
         "About box: texts, icon, animation that starts over; Widmung from a right double-click", 240},
        {"syscommands", Started<CheckSysCommands>,
         "system commands 0x0010-0x001F open the About box, others do not", 90},
        {"help", Started<CheckHelp>, "ID_HELP opens the About box whatever its notification code"},
        {"sysmenu", Started<CheckSystemMenu>,
         "Alt+Space, Up and Enter from X open the About box from the system menu"},
        {"f1", Started<CheckF1>, "F1 from X opens the About box, F1 in the box no second one"},
        {"rdblclick", Started<CheckRealDoubleClick>,
         "right double-click from X: Widmung from the client area, not from a child"},
        {"othername", [] { CheckOtherName("Andere.exe", true); },
         "a copy named Andere.exe names its About box after itself and shows its version", 120},
        {"noversion", [] { CheckOtherName("Andere.bin", false); },
         "a copy named Andere.bin, without Andere.exe, shows its About box without version texts", 120},
    };
}

}  // namespace e2e
