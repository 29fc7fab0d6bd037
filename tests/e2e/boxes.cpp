#include "harness.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace e2e {

std::string VersionLine()
{
    return "Version (" + expected::VersionText(expected::kFileVersion) + ")";
}

std::vector<HWND> Boxes(const CKavrin& k)
{
    const HWND main = k.Main();
    return TopWindows(
        k.Pid(), [](HWND hWnd, const void* m) { return hWnd != static_cast<HWND>(const_cast<void*>(m)) && ClassName(hWnd) == "#32770"; },
        main);
}

std::string Titles(const CKavrin& k)
{
    std::string titles;
    for (HWND box : Boxes(k)) {
        std::string title;
        WindowText(box, title);
        titles += (titles.empty() ? "\"" : ", \"") + title + "\"";
    }
    return titles.empty() ? "none" : titles;
}

HWND WaitBox(const CKavrin& k, const char* title, const char* after)
{
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindTopWindow(k.Pid(), title)) != nullptr; }))
        Fault("%s: no box \"%s\" within %lu ms (boxes: %s)", after, title, kWaitMs, Titles(k).c_str());
    return box;
}

HWND OpenAbout(const CKavrin& k, UINT msg, WPARAM wParam, const char* how,
               const char* title)
{
    PostMessageA(k.Main(), msg, wParam, 0);
    return WaitBox(k, title, how);
}

bool CloseBox(HWND box, HWND owner, CloseBy how, const char* what)
{
    const HWND focus = FocusOf(box);
    switch (how) {
    case CloseBy::OkButton:
        PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        break;
    case CloseBy::Escape:
        PostKey(focus, VK_ESCAPE);
        break;
    case CloseBy::Close:
        PostMessageA(box, WM_CLOSE, 0, 0);
        break;
    case CloseBy::SysClose:
        PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    if (!WaitFor([box] { return IsWindow(box) == FALSE; }))
        return Fault("%s: the box is still open %lu ms after it was told to close", what, kWaitMs);
    if (!WaitFor([owner] { return IsWindowEnabled(owner) != FALSE; }))
        return Fault("%s: the window beneath stays disabled after the box closed", what);
    if (!WaitFor([owner] { return IsChild(owner, FocusOf(owner)) != FALSE; }))
        return Fault("%s: the focus did not return to the window beneath", what);
    return true;
}

void ExpectEnd(const CKavrin& k)
{
    PostMessageA(k.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    k.ExpectExit();
}

void ExpectModalOver(HWND box, HWND owner, const char* what)
{
    if (GetWindow(box, GW_OWNER) != owner)
        Fault("%s: owned by %p, not by the window beneath", what, static_cast<void*>(GetWindow(box, GW_OWNER)));
    if (IsWindowEnabled(owner))
        Fault("%s: the window beneath stays enabled", what);
    ExpectCentred(WindowRect(box), WindowRect(owner), what);
    if (FocusOf(box) != GetDlgItem(box, IDOK))
        Fault("%s: the focus is not on its OK button", what);
}

HWND AnimationOf(HWND box, int id)
{
    return FindWindowExA(GetDlgItem(box, id), nullptr, "SysAnimate32", nullptr);
}

// The frames of the program's clip id, from its AVI header's fifth field; 0 if unreadable.
DWORD ClipFrames(int id)
{
    const HMODULE exe = LoadLibraryExA((ExeDir() + "\\Kavrin.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HRSRC res = exe ? FindResourceA(exe, MAKEINTRESOURCEA(id), "AVI") : nullptr;
    const void* p = res ? LockResource(LoadResource(exe, res)) : nullptr;
    DWORD frames = 0;
    if (p && SizeofResource(exe, res) >= 52)
        std::memcpy(&frames, static_cast<const BYTE*>(p) + 48, sizeof frames);
    if (exe)
        FreeLibrary(exe);
    return frames;
}

void ExpectStartsOver(HWND box, int id, int clip, const char* what)
{
    const HWND anim = AnimationOf(box, id);
    // Until then the animation's area may still show what lay there before.
    if (!WaitSettled(what, {box}, WindowRect(box), {anim}))
        return;
    const RECT r = WindowRect(anim);
    const DWORD frames = ClipFrames(clip);
    DWORD changes = 0;
    double changed = NowMs();
    std::vector<DWORD> last = Capture(r);
    const bool over = WaitFor([&] {
        std::vector<DWORD> now = Capture(r);
        if (now != last) {
            ++changes;
            changed = NowMs();
        }
        last = std::move(now);
        return (frames > 0 && changes > frames) || NowMs() > changed + kWaitMs;
    }, 15 * kWaitMs, 5);
    if (!over || changes <= frames)
        Fault("%s: the picture stood still after %lu changes; the clip has %lu frames", what, changes, frames);
}

// The animation control of a box: the only child of placeholder id, with the same ID, over
// the placeholder's whole client area, playing. Null (with a fault) if it is missing.
HWND ExpectAnimation(HWND box, int id, const char* what)
{
    const HWND placeholder = GetDlgItem(box, id);
    const HWND anim = placeholder ? FindWindowExA(placeholder, nullptr, nullptr, nullptr) : nullptr;
    if (anim == nullptr || ClassName(anim) != "SysAnimate32" || GetDlgCtrlID(anim) != id ||
        FindWindowExA(placeholder, anim, nullptr, nullptr) != nullptr) {
        Fault("%s: placeholder %d does not hold exactly one SysAnimate32 with ID %d", what, id, id);
        return nullptr;
    }
    if (ClassName(placeholder) != "Static")
        Fault("%s: control %d is a %s, not a static placeholder", what, id, ClassName(placeholder).c_str());
    const auto style = static_cast<DWORD>(GetWindowLongA(anim, GWL_STYLE));
    if ((style & (WS_CHILD | WS_VISIBLE)) != (WS_CHILD | WS_VISIBLE) ||
        (style & (ACS_CENTER | ACS_TRANSPARENT | ACS_AUTOPLAY | ACS_TIMER)) != ACS_CENTER)
        Fault("%s: animation style 0x%08lx", what, style);
    RECT client = {}, got = {};
    GetClientRect(placeholder, &client);
    MapWindowPoints(placeholder, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    GetWindowRect(anim, &got);
    if (!EqualRect(&client, &got) || IsRectEmpty(&got))
        Fault("%s: the animation covers %s, the placeholder's client area is %s", what,
              Show(got).c_str(), Show(client).c_str());
    ExpectStartsOver(box, id, id == IDC_ANIMATION ? IDR_AVI_ABOUT : IDR_AVI_WIDMUNG, what);
    return anim;
}

bool FreePoint(HWND box, POINT& found)
{
    RECT c = {};
    GetClientRect(box, &c);
    for (LONG y = c.bottom - 6; y > 5; y -= 2) {
        for (LONG x = c.right - 6; x > 5; x -= 2) {
            bool free = true;
            for (LONG dy = -4; dy <= 4 && free; dy += 4)
                for (LONG dx = -4; dx <= 4 && free; dx += 4)
                    free = ChildWindowFromPointEx(box, POINT{x + dx, y + dy}, CWP_ALL) == box;
            if (free) {
                found = POINT{x, y};
                return true;
            }
        }
    }
    return Fault("the box has no free client point");
}

void ExpectAboutTexts(HWND box, const std::string& app, bool versionRead)
{
    ExpectText(box, expected::kAboutTitlePrefix + app, "About box title");
    ExpectText(GetDlgItem(box, IDC_VERSION), versionRead ? VersionLine() : "Version ()", "version line");
    ExpectText(GetDlgItem(box, IDC_COPYRIGHT), versionRead ? expected::kCopyright : "", "copyright line");
    ExpectText(GetDlgItem(box, IDC_COMMENTS), versionRead ? expected::kComment : "", "comment line");
    ExpectText(GetDlgItem(box, IDC_FEEDBACK), expected::kFeedback, "feedback line");
}

void ExpectAbout(const CKavrin& k, HWND box, const std::string& app, bool versionRead)
{
    ExpectModalOver(box, k.Main(), "About box");
    ExpectAboutTexts(box, app, versionRead);
    const HWND icon = GetDlgItem(box, IDC_ABOUT_ICON);
    DWORD_PTR hIcon = 0;
    if (icon == nullptr || ClassName(icon) != "Static" || (GetWindowLongA(icon, GWL_STYLE) & SS_TYPEMASK) != SS_ICON ||
        !SendTimeout(icon, STM_GETICON, 0, 0, &hIcon) || hIcon == 0)
        Fault("About box: control %d shows no icon", IDC_ABOUT_ICON);
    ExpectAnimation(box, IDC_ANIMATION, "About box animation");
}

void ExpectWidmung(HWND widmung, HWND about)
{
    ExpectModalOver(widmung, about, "Widmung");
    ExpectText(widmung, expected::kWidmungTitle, "Widmung title");
    ExpectText(GetDlgItem(widmung, IDC_WIDMUNG_TEXT), expected::kWidmungText, "Widmung text");
    ExpectAnimation(widmung, IDC_WIDMUNG_ANIMATION, "Widmung animation");
}

HWND OpenWidmung(const CKavrin& k, HWND about)
{
    POINT p = {};
    if (!FreePoint(about, p))
        return nullptr;
    PostMessageA(about, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    return WaitBox(k, expected::kWidmungTitle, "a right double-click in the About box");
}

void ExpectOnlyClosed(const CKavrin& k, HWND box, const char* never, const char* what)
{
    size_t most = 0;
    bool seen = false;
    const bool closed = WaitFor([&] {
        most = std::max(most, Boxes(k).size());
        seen = seen || (never != nullptr && FindTopWindow(k.Pid(), never) != nullptr);
        return IsWindow(box) == FALSE;
    });
    if (most > 1 || seen)
        Fault("%s opened a box", what);
    else if (!closed)
        Fault("%s: the box did not close at the Escape key that followed", what);
}

bool AboutRound(const CKavrin& k, bool withWidmung, bool expect)
{
    const HWND about = OpenAbout(k, WM_SYSCOMMAND, IDM_ABOUTBOX, "IDM_ABOUTBOX");
    if (!about)
        return false;
    if (expect)
        ExpectAbout(k, about);
    if (withWidmung) {
        const HWND widmung = OpenWidmung(k, about);
        if (!widmung)
            return false;
        if (expect)
            ExpectWidmung(widmung, about);
        if (!CloseBox(widmung, about, CloseBy::OkButton, "Widmung"))
            return false;
    }
    return CloseBox(about, k.Main(), CloseBy::OkButton, "About box");
}

}  // namespace e2e
