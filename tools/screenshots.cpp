// kavrin_screenshots.exe: the screenshots of docs/, taken while Wine's desktop window draws the
// frames; run by tools/screenshots.sh with the folder to write them to.
#include "harness.h"

#include <cstdio>

namespace e2e {

namespace {

// Asks for a screenshot of r into dir\name.png and waits until it has been taken.
bool Shot(const std::string& dir, const char* name, const RECT& r)
{
    Step("shot %s/%s.png %ld %ld %ld %ld", dir.c_str(), name, r.left, r.top, r.right - r.left, r.bottom - r.top);
    return WaitSteps();
}

// Screenshots for the documentation into dir (a path of the script's side), taken while Wine's
// desktop window draws the frames: the main window, its system menu, the About box over it,
// the dedication box over both.
void Screenshots(const std::string& dir)
{
    CKavrin k;
    if (!k.Start())
        return;
    const RECT main = WindowRect(k.Main());
    // Wine draws the first window's caption inactive until it is activated again.
    if (!AboutRound(k, false) || !k.Fence() || !WaitSettled("main window", {k.Main()}, main) ||
        !Shot(dir, "main-window", main))
        return;

    // Keys to Wine's desktop window go to its active window; focusing the program's own X
    // window would make Wine draw its caption inactive.
    Step("key Wine.desktop$ alt+space");
    HWND menu = nullptr;
    if (!WaitFor([&] { return (menu = OpenMenu(k)) != nullptr; })) {
        Fault("Alt+Space opened no menu");
        return;
    }
    RECT both = {};
    const RECT rcMenu = WindowRect(menu);
    UnionRect(&both, &main, &rcMenu);
    if (!WaitSettled("system menu", {k.Main(), menu}, both) || !Shot(dir, "system-menu", both))
        return;
    Step("key Wine.desktop$ Escape");
    if (!WaitFor([&] { return OpenMenu(k) == nullptr; })) {
        Fault("Escape did not close the system menu");
        return;
    }

    const HWND about = OpenAbout(k, WM_SYSCOMMAND, IDM_ABOUTBOX, "IDM_ABOUTBOX");
    if (about == nullptr ||
        !WaitSettled("About box", {k.Main(), about}, main, {AnimationOf(about, IDC_ANIMATION)}) ||
        !Shot(dir, "about", main))
        return;
    const HWND widmung = OpenWidmung(k, about);
    if (!widmung)
        return;
    RECT all = {};
    const RECT rcWidmung = WindowRect(widmung);
    UnionRect(&all, &main, &rcWidmung);
    if (!WaitSettled("Widmung", {k.Main(), about, widmung}, all,
                     {AnimationOf(about, IDC_ANIMATION), AnimationOf(widmung, IDC_WIDMUNG_ANIMATION)}) ||
        !Shot(dir, "widmung", all))
        return;
    if (CloseBox(widmung, about, CloseBy::OkButton, "Widmung") &&
        CloseBox(about, k.Main(), CloseBy::OkButton, "About box"))
        ExpectEnd(k);
}

}  // namespace

}  // namespace e2e

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::puts("usage: kavrin_screenshots DIR");
        return 2;
    }
    e2e::Screenshots(argv[1]);
    return e2e::g_faults ? 1 : 0;
}
