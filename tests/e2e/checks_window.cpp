// Checks of the main window: the report, the copy, the layout and the ways to end.
#include "Layout.h"
#include "harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace e2e {

namespace {

// Faults unless both controls sit where the program's layout rule (ui/Layout.h, tested on its
// own) puts them for the current client size: the window does not apply it.
void ExpectLayout(const CKavrin& k, const char* when)
{
    RECT client = {}, button = {};
    GetClientRect(k.Main(), &client);
    GetClientRect(k.Ok(), &button);
    const int w = client.right, h = client.bottom;
    const RECT report = layout::ReportRect(w, h, ScriptDpi());
    const RECT ok = layout::OkButtonRect(w, h, button.right, button.bottom, ScriptDpi());
    const RECT gotReport = RectIn(k.Main(), k.Report()), gotOk = RectIn(k.Main(), k.Ok());
    if (!EqualRect(&gotReport, &report))
        Fault("%s, client %dx%d: report control at %s, expected %s", when, w, h,
              Show(gotReport).c_str(), Show(report).c_str());
    if (!EqualRect(&gotOk, &ok))
        Fault("%s, client %dx%d: OK button at %s, expected %s", when, w, h, Show(gotOk).c_str(),
              Show(ok).c_str());
}

const LONG kMinWidth = layout::kMinTrackWidth, kMinHeight = layout::kMinTrackHeight;

// Asks for a window of size ask; faults unless it gets that size, each side no less than the
// minimum scaled to the DPI, and is laid out by the rule.
void ExpectResized(const CKavrin& k, SIZE ask)
{
    const SIZE want = {std::max<LONG>(ask.cx, layout::Scale(kMinWidth, ScriptDpi())),
                       std::max<LONG>(ask.cy, layout::Scale(kMinHeight, ScriptDpi()))};
    char when[48];
    std::snprintf(when, sizeof when, "requested %ldx%ld", ask.cx, ask.cy);
    if (!SetWindowPos(k.Main(), nullptr, 0, 0, ask.cx, ask.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
        Fault("%s: SetWindowPos failed", when);
    const RECT got = WindowRect(k.Main());
    if (got.right - got.left != want.cx || got.bottom - got.top != want.cy)
        Fault("%s: the window is %ldx%ld, expected %ldx%ld", when, got.right - got.left,
              got.bottom - got.top, want.cx, want.cy);
    ExpectLayout(k, when);
}

// The window, its two controls, the focus and the report text.
void CheckWindow(const CKavrin& k)
{
    if (ClassName(k.Main()) != "#32770")
        Fault("the window's class is \"%s\", not a dialog", ClassName(k.Main()).c_str());
    const LONG style = GetWindowLongA(k.Report(), GWL_STYLE);
    if (ClassName(k.Report()) != "Edit" || (style & ES_MULTILINE) == 0 ||
        (style & ES_READONLY) != 0)
        Fault("control %d is not a writable multi-line edit control", IDC_REPORT);
    std::string caption;
    if (ClassName(k.Ok()) != "Button" || !WindowText(k.Ok(), caption) || caption != "OK")
        Fault("control 1 is not a button \"OK\"");
    RECT client = {};
    GetClientRect(k.Main(), &client);
    const RECT ok = RectIn(k.Main(), k.Ok());
    if (ok.top < RectIn(k.Main(), k.Report()).bottom)
        Fault("the OK button is not below the report control");
    if (ok.left < 0 || ok.right > client.right || ok.bottom > client.bottom)
        Fault("the OK button %s lies outside the client area %ldx%ld", Show(ok).c_str(),
              client.right, client.bottom);
    if (FocusOf(k.Main()) != k.Ok())
        Fault("the focus is not on the OK button at start");
    // The menu bar is the menuclick check's.
    ExpectText(k.Report(), k.Expected(), "report control");

    // Centred on the work area, since the template sits at (0, 0) and there is no owner.
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    ExpectCentred(WindowRect(k.Main()), work, "the window");
}

// "&Copy" puts exactly the report and a zero on the clipboard, which outlives the program.
void CheckCopy(const CKavrin& k)
{
    const CClipboardWindow clip;
    if (!clip.SetText(kMarker))
        Fault("the driver cannot set the clipboard");
    for (const char* when : {"after a copy", "after a second copy"}) {
        if (!k.Copy())
            return;
        ExpectClipboard(clip, k.Expected(), when);
        if (GetClipboardOwner() != k.Main())
            Fault("%s: the main window does not own the clipboard", when);
    }

    PostMessageA(k.Main(), WM_COMMAND, IDOK, 0);
    if (k.ExpectExit())
        ExpectClipboard(clip, k.Expected(), "after the program ended");
}

// The text of bytes in code page cp, as UTF-16 bytes (for Difference).
std::string Utf16(const std::string& bytes, UINT cp)
{
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                        &text[0], static_cast<int>(text.size()))));
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)};
}

// What a paste reads, the Unicode text the system makes of the copy, is the window's text (the
// bytes in the ANSI code page) under any user locale, by which it converts a copy without CF_LOCALE.
void CheckPaste(const CKavrin& k)
{
    if (const char* lcid = std::getenv("E2E_LCID"); lcid && std::strtoul(lcid, nullptr, 16) != GetUserDefaultLCID())
        Fault("the user locale is %04lx, not %s", GetUserDefaultLCID(), lcid);
    const CClipboardWindow clip;
    std::string block;
    if (!ExpectCopy(k, "paste") || !clip.GetBlock(block, CF_UNICODETEXT))
        return static_cast<void>(Fault("no copy, or no CF_UNICODETEXT"));
    const auto* p = reinterpret_cast<const wchar_t*>(block.data());
    const std::string pasted = block.substr(0, 2 * wcsnlen(p, block.size() / 2)), shown = Utf16(k.Expected(), CP_ACP);
    if (pasted != shown)
        Fault("a paste differs from the window's text, in UTF-16: %s", Difference(pasted, shown).c_str());
}

// Text typed into the report control is never copied, and nothing rewrites the control.
void CheckTyped(const CKavrin& k)
{
    const char typed[] = "Getippt: ";
    SendTimeout(k.Report(), EM_SETSEL, 0, 0);
    SendTimeout(k.Report(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed));
    for (const char* c = "Hallo"; *c; ++c)
        PostMessageA(k.Report(), WM_CHAR, static_cast<unsigned char>(*c), 1);
    // Enter in the report control is a line break there, not the OK button.
    PostKey(k.Report(), VK_RETURN);
    if (!k.Fence())
        return;
    if (!k.Running())
        return static_cast<void>(Fault("Enter in the report control ended the program"));
    const std::string edited = std::string(typed) + "Hallo\r\n" + k.Expected();
    if (!ExpectText(k.Report(), edited, "report control after typing"))
        return;

    if (!ExpectCopy(k, "copy after typing"))
        return;
    ExpectText(k.Report(), edited, "report control after copying");

    ExpectResized(k, {640, 520});
    ExpectText(k.Report(), edited, "report control after resizing");
    ShowWindow(k.Main(), SW_MINIMIZE);
    if (!IsIconic(k.Main()))
        Fault("the window did not minimise");
    ShowWindow(k.Main(), SW_RESTORE);
    if (!k.Fence())
        return;
    if (IsIconic(k.Main()))
        Fault("the window did not restore");
    ExpectText(k.Report(), edited, "report control after minimising and restoring");
    ExpectLayout(k, "after minimise and restore");
    if (k.Copy())
        ExpectClipboard(CClipboardWindow(), k.Expected(), "copy after resizing and minimising");
}

// While another process holds the clipboard open, a copy leaves its content alone.
void CheckBusy(const CKavrin& k)
{
    const CClipboardWindow clip;
    if (!clip.SetText(kMarker) || !clip.Open())
        return static_cast<void>(Fault("the driver cannot set and hold the clipboard"));
    const DWORD seq = GetClipboardSequenceNumber();
    const bool handled = k.Copy();
    CloseClipboard();
    if (!handled)
        return;
    if (GetClipboardSequenceNumber() != seq)
        Fault("the clipboard changed while another process held it open");
    ExpectClipboard(clip, kMarker, "copy while the clipboard was held");
    if (!k.Running())
        Fault("the program ended after a failed copy");
    else if (k.Copy())
        ExpectClipboard(clip, k.Expected(), "copy once the clipboard was free");
}

// The layout rule after resizing, maximising and restoring.
void CheckResize(const CKavrin& k)
{
    static const SIZE sizes[] = {{600, 480}, {401, 350}, {402, 351}, {403, 333}, {777, 555},
                                 {1000, 700}, {kMinWidth + 1, kMinHeight + 1}, {kMinWidth, kMinHeight}, {1279, 1000}};
    for (const SIZE& s : sizes)
        ExpectResized(k, s);
    MoveWindow(k.Main(), 10, 10, 505, 405, TRUE);
    ExpectLayout(k, "moved to 505x405");
    ShowWindow(k.Main(), SW_MAXIMIZE);
    ExpectLayout(k, "maximised");
    ShowWindow(k.Main(), SW_RESTORE);
    ExpectLayout(k, "restored");
    ExpectText(k.Report(), k.Expected(), "report control after resizing");
}

// Requests below the minimum end at it, each side limited on its own, at any DPI.
void CheckMinSize(const CKavrin& k)
{
    const LONG w = layout::Scale(kMinWidth, ScriptDpi()), h = layout::Scale(kMinHeight, ScriptDpi());
    for (const SIZE& ask : {SIZE{100, 100}, SIZE{w - 1, h - 1}, SIZE{1, 1}, SIZE{w - 48, h + 204},
                            SIZE{w + 152, h - 96}, SIZE{w, h}})
        ExpectResized(k, ask);
}

// A real click on the menu bar's "&Copy" copies the report.
void CheckMenuClick(const CKavrin& k)
{
    const CClipboardWindow clip;
    if (!clip.SetText(kMarker))
        return static_cast<void>(Fault("the driver cannot set the clipboard"));
    const DWORD seq = GetClipboardSequenceNumber();
    POINT p = {0, 0};
    ClientToScreen(k.Main(), &p);
    Step("click ^Kavrin$ %ld %ld 1 1", p.x + 12, p.y - GetSystemMetrics(SM_CYMENU) / 2);
    if (!WaitFor([seq] { return GetClipboardSequenceNumber() != seq; }))
        return static_cast<void>(Fault("the clipboard did not change within %lu ms of the click", kWaitMs));
    if (k.Fence())
        ExpectClipboard(clip, k.Expected(), "after clicking \"Copy\"");
}

// Ends a fresh run each way in turn and expects exit code 0 each time.
void CheckEnds(std::initializer_list<std::string> ways)
{
    for (const std::string& how : ways) {
        CKavrin k;
        if (!k.Start())
            return;
        const HWND focus = FocusOf(k.Main());   // the OK button's, as the window check asks
        const POINT ok = Centre(k.Ok());
        if (how == "ok")
            PostMessageA(k.Ok(), BM_CLICK, 0, 0);
        else if (how == "okcommand")
            PostMessageA(k.Main(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(k.Ok()));
        else if (how == "close")
            PostMessageA(k.Main(), WM_CLOSE, 0, 0);
        else if (how == "sysclose")
            PostMessageA(k.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
        else if (how == "x-click")
            Step("click ^Kavrin$ %ld %ld 1 1", ok.x, ok.y);
        else if (how.compare(0, 2, "x-") == 0)
            Step("key ^Kavrin$ %s", how.c_str() + 2);   // x-Return, x-Escape: real keys
        else
            PostKey(focus, how == "enter" ? VK_RETURN : how == "escape" ? VK_ESCAPE : VK_SPACE);
        if (!k.ExpectExit())
            Fault("ended by %s", how.c_str());
    }
}

// Puts entries before the PATH that the programs started from now on inherit.
void PrependPath(const std::string& entries)
{
    char old[32768] = "";
    const DWORD n = GetEnvironmentVariableA("PATH", old, sizeof old);
    SetEnvironmentVariableA("PATH", (entries + std::string(old, n < sizeof old ? n : 0)).c_str());
}

// The report as the window shows it with a PATH of several thousand characters.
template <void (*check)()> void WithLongPath()
{
    std::string path;
    for (int i = 1; i <= 300; ++i) {
        char part[48];
        std::snprintf(part, sizeof part, "C:\\Programme\\Kavrin Pr\xFC" "fung\\lang%03d;", i);
        path += part;
    }
    PrependPath(path);
    check();
}

const SHORT kColumns = 16000;   // wider than a PATH of 300 long entries

// Where the console's screen first differs from the report read as Windows-1252, line for line
// (a CR LF or a lone LF ends a line); empty when they agree. A row cannot show blanks at a
// line's end ("Version: " with no service pack), so they count on neither side.
std::string ScreenDifference(HANDLE hCon, const std::string& bytes)
{
    std::wstring text(bytes.size(), L'\0'), want, shown, row(kColumns, L' ');
    text.resize(static_cast<size_t>(MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                        &text[0], static_cast<int>(text.size()))));
    for (const wchar_t c : text) {
        while (c == L'\n' && !want.empty() && want.back() == L' ')
            want.pop_back();
        if (c != L'\r')
            want += c;
    }
    for (SHORT y = 0; y < std::count(want.begin(), want.end(), L'\n'); ++y) {
        DWORD got = 0;
        ReadConsoleOutputCharacterW(hCon, &row[0], kColumns, {0, y}, &got);
        shown += row.substr(0, row.find_last_not_of(L' ') + 1) + L'\n';
    }
    const auto at = std::mismatch(shown.begin(), shown.end(), want.begin(), want.end());
    if (shown == want)
        return {};
    char why[64];
    std::snprintf(why, sizeof why, "line %td: U+%04X shown, U+%04X expected",
                  std::count(shown.begin(), at.first, L'\n') + 1, at.first != shown.end() ? *at.first : 0,
                  at.second != want.end() ? *at.second : 0);
    return why;
}

// KavrinReport.exe's exit code with hOut as its standard output, or STILL_ACTIVE.
DWORD ReportExitCode(HANDLE hOut)
{
    PROCESS_INFORMATION pi;
    DWORD code = STILL_ACTIVE;
    if (!StartProgram("KavrinReport.exe", pi, hOut))
        return code;
    const CHandle process(pi.hProcess), thread(pi.hThread);
    if (WaitForSingleObject(pi.hProcess, kWaitMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    return code;
}

// On a console of the driver's own, with umlauts on the PATH, KavrinReport.exe shows the
// window's report letter for letter, also through a write-only handle (GetConsoleMode needs read
// access) and beyond one write piece; its bytes written as such (the control) do not. Piped, it
// writes the letters in the console's output code page; into a file, its bytes.
template <DWORD access> void CheckConsole()
{
    PrependPath("C:\\Pr\xFC" "fung\\W\xFC" "rfel;");
    const std::string report = ExpectedReport();
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    FreeConsole();
    if (report.empty() || !AllocConsole())
        return static_cast<void>(Fault("no report or no console"));
    ShowWindow(GetConsoleWindow(), SW_HIDE);   // Wine's console window would lie over the checks
    const CHandle con(CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &sa, OPEN_EXISTING, 0, nullptr));
    const CHandle out(CreateFileA("CONOUT$", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr));
    Note("console code page %u", GetConsoleOutputCP());
    if (!SetConsoleScreenBufferSize(con.Get(), {kColumns, 200}) || ReportExitCode(out.Get()) != 0)
        Fault("KavrinReport.exe did not exit with 0 on a console of %d columns", kColumns);
    if (const std::string why = ScreenDifference(con.Get(), report); !why.empty())
        Fault("the console shows another report: %s", why.c_str());

    DWORD written = 0;
    FillConsoleOutputCharacterW(con.Get(), L' ', kColumns * 200, {0, 0}, &written);
    SetConsoleCursorPosition(con.Get(), {0, 0});
    WriteFile(con.Get(), report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    if (ScreenDifference(con.Get(), report).empty())
        Fault("control: the report's bytes written to the console show as the report");
    for (const UINT cp : {850u, 65001u}) {
        SetConsoleOutputCP(cp);
        if (const std::string got = Utf16(ExpectedReport(), cp), want = Utf16(report, CP_ACP); got != want)
            Fault("piped under code page %u, in UTF-16: %s", cp, Difference(got, want).c_str());
    }
    const CTempDir dir;
    CHandle file(CreateFileA((dir.Path() + "\\r.txt").c_str(), GENERIC_WRITE, 0, &sa, CREATE_ALWAYS, 0, nullptr));
    const DWORD code = ReportExitCode(file.Get());
    file.Reset(nullptr);
    if (code != 0 || FileText(dir.Path() + "\\r.txt") != report)
        Fault("a file gets other bytes than the report's");
}

// With standard output a pipe that nobody reads, KavrinReport.exe exits with 1.
void CheckClosedPipe()
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE hRead = nullptr, hWrite = nullptr;
    if (!CreatePipe(&hRead, &hWrite, &sa, 0))
        return static_cast<void>(Fault("CreatePipe failed"));
    CloseHandle(hRead);
    const CHandle write(hWrite);
    if (const DWORD code = ReportExitCode(hWrite); code != 1)
        Fault("exit code %lu, expected 1", code);
}

}  // namespace

std::vector<Check> WindowChecks()
{
    return {
        {"window", Started<CheckWindow>, "window shows the report"},
        {"window-long-path", WithLongPath<Started<CheckWindow>>, "window shows the report with a long PATH"},
        {"copy-long-path", WithLongPath<Started<CheckCopy>>, "copy with a long PATH"},
        {"copy", Started<CheckCopy>, "copy puts the report on the clipboard"},
        {"paste", [] { PrependPath("C:\\Pr\xFC" "fung;"); Started<CheckPaste>(); }, "a paste reads the window's letters"},
        {"typed", Started<CheckTyped>, "typed text is neither copied nor overwritten"},
        {"busy", Started<CheckBusy>, "copy leaves a clipboard held open by another process"},
        {"resize", Started<CheckResize>, "layout follows resizing"},
        {"minsize", Started<CheckMinSize>, "minimum window size"},
        {"end-posted", [] { CheckEnds({"ok", "okcommand", "close", "sysclose"}); },
         "OK button, IDOK command, WM_CLOSE and SC_CLOSE each end with exit code 0", 120},
        {"end-keys", [] { CheckEnds({"enter", "escape", "space"}); },
         "Enter, Escape and Space on the OK button at start each end with exit code 0", 90},
        {"end-x", [] { CheckEnds({"x-Return", "x-Escape", "x-click"}); },
         "Enter, Escape and a mouse click on OK from X each end with exit code 0", 90},
        {"console", CheckConsole<GENERIC_READ | GENERIC_WRITE>, "KavrinReport.exe on a console shows the report's letters"},
        {"console-long-path", WithLongPath<CheckConsole<GENERIC_WRITE>>, "KavrinReport.exe on a write-only console handle, piped and to a file, with a long PATH"},
        {"closed-pipe", CheckClosedPipe, "KavrinReport.exe exits with 1 when its output cannot be written"},
        {"menuclick", Started<CheckMenuClick>, "mouse click from X on the menu's Copy copies the report"},
    };
}

}  // namespace e2e
