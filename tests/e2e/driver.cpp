// kavrin_e2e.exe: starts Kavrin.exe from the same folder and checks it from another process.
// Usage: kavrin_e2e CHECK [ARG]; see Usage() for the checks. Every fault is printed as a line
// "- reason", notes as "# text"; the exit code is 0 exactly when no fault was found.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int IDC_REPORT = 1000;
const WORD ID_COPY = 40001;
const WORD ID_HELP = 0xE146;
const UINT IDM_ABOUTBOX = 0x0010;
const int IDC_ABOUT_ICON = 1004;
const int IDC_COMMENTS = 1009;
const int IDC_VERSION = 1011;
const int IDC_ANIMATION = 1012;
const int IDC_COPYRIGHT = 1022;
const int IDC_FEEDBACK = 1023;
const int IDC_WIDMUNG_ANIMATION = 1043;
const int IDC_WIDMUNG_TEXT = 1044;
const char kAboutTitle[] = "Info \xFC" "ber Kavrin";
const char kWidmungTitle[] = "Widmung";
// The About box's title for xdotool, which may see the umlaut as one byte or two.
const char kAboutTitleX[] = "^Info.+ber.Kavrin$";
const DWORD kWaitMs = 20000;        // for a window, an exit, a posted message
const UINT kSendMs = 5000;          // for one sent message
const char kMarker[] = "kavrin-e2e marker\r\n";

int g_faults = 0;

__attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2))) void Fault(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::fputs("- ", stdout);
    std::vprintf(fmt, args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    va_end(args);
    ++g_faults;
}

__attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2))) void Note(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::fputs("# ", stdout);
    std::vprintf(fmt, args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    va_end(args);
}

// Owns a kernel handle; closes it once.
class CHandle {
public:
    explicit CHandle(HANDLE h = nullptr) : m_h(h) {}
    ~CHandle() { Reset(nullptr); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    void Reset(HANDLE h)
    {
        if (m_h && m_h != INVALID_HANDLE_VALUE)
            CloseHandle(m_h);
        m_h = h;
    }
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

double NowMs()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// Polls pred every pollMs milliseconds until it holds or ms have passed.
template <class Pred> bool WaitFor(Pred pred, DWORD ms = kWaitMs, DWORD pollMs = 1)
{
    const double end = NowMs() + ms;
    for (;;) {
        if (pred())
            return true;
        if (NowMs() > end)
            return false;
        Sleep(pollMs);
    }
}

std::string ExeDir()
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of('\\'));
}

// A Windows path for a path of the driver's command line: "/tmp/x" becomes "Z:\\tmp\\x".
std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Starts a program of this folder, or of dir with dir as its current directory; pi receives
// both handles (the caller closes them).
bool StartProgram(const char* name, PROCESS_INFORMATION& pi, HANDLE hStdOut = nullptr,
                  const char* dir = nullptr)
{
    std::string cmd = "\"" + (dir ? std::string(dir) : ExeDir()) + "\\" + name + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (hStdOut) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = hStdOut;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, static_cast<BOOL>(hStdOut != nullptr), 0, nullptr,
                        dir, &si, &pi)) {
        Fault("cannot start %s (error %lu)", name, GetLastError());
        return false;
    }
    return true;
}

// The bytes KavrinReport.exe (of this folder, or of dir) writes in this environment; empty
// after a fault.
std::string ExpectedReport(const char* dir = nullptr)
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE hRead = nullptr, hWrite = nullptr;
    if (!CreatePipe(&hRead, &hWrite, &sa, 0)) {
        Fault("CreatePipe failed");
        return {};
    }
    CHandle read(hRead), write(hWrite);
    SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);
    PROCESS_INFORMATION pi;
    if (!StartProgram("KavrinReport.exe", pi, hWrite, dir))
        return {};
    CHandle process(pi.hProcess), thread(pi.hThread);
    write.Reset(nullptr);

    // Read while it runs, since the report may not fit into the pipe; the pipe breaks once the
    // program has ended and everything has been read.
    std::string out;
    const bool closed = WaitFor(
        [&] {
            DWORD avail = 0, got = 0;
            char buf[4096];
            if (PeekNamedPipe(hRead, nullptr, 0, nullptr, &avail, nullptr) == FALSE)
                return true;
            if (avail > 0 && ReadFile(hRead, buf, std::min<DWORD>(avail, sizeof buf), &got, nullptr) != FALSE)
                out.append(buf, got);
            return false;
        },
        kWaitMs, 2);
    if (!closed) {
        TerminateProcess(pi.hProcess, 99);
        Fault("KavrinReport.exe did not finish its output within %lu ms", kWaitMs);
        return {};
    }
    DWORD code = 1;
    if (WaitForSingleObject(pi.hProcess, kWaitMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(pi.hProcess, &code) || code != 0) {
        Fault("KavrinReport.exe did not exit with 0 (%lu)", code);
        return {};
    }
    if (out.empty())
        Fault("KavrinReport.exe wrote nothing");
    return out;
}

// Where two byte strings first differ, for a fault message.
std::string Difference(const std::string& got, const std::string& want)
{
    size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i])
        ++i;
    auto show = [i](const std::string& s) {
        std::string r;
        const size_t from = i > 20 ? i - 20 : 0;
        for (size_t j = from; j < s.size() && j < i + 20; ++j) {
            const auto c = static_cast<unsigned char>(s[j]);
            char esc[8];
            if (c == '\r')      r += "\\r";
            else if (c == '\n') r += "\\n";
            else if (c < 0x20 || c >= 0x7f) { std::snprintf(esc, sizeof esc, "\\x%02x", c); r += esc; }
            else                r += static_cast<char>(c);
        }
        return r;
    };
    char head[96];
    std::snprintf(head, sizeof head, "%zu bytes against %zu, first difference at %zu: ",
                  got.size(), want.size(), i);
    return head + std::string("\"") + show(got) + "\" instead of \"" + show(want) + "\"";
}

bool SendTimeout(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, DWORD_PTR* pResult = nullptr)
{
    DWORD_PTR r = 0;
    const bool ok =
        SendMessageTimeoutA(hWnd, uMsg, wParam, lParam, SMTO_ABORTIFHUNG, kSendMs, &r) != 0;
    if (pResult)
        *pResult = r;
    return ok;
}

// The text of a window of another process, read with WM_GETTEXTLENGTH and WM_GETTEXT.
bool WindowText(HWND hWnd, std::string& text)
{
    DWORD_PTR len = 0, got = 0;
    if (!SendTimeout(hWnd, WM_GETTEXTLENGTH, 0, 0, &len))
        return false;
    std::vector<char> buf(len + 1);
    if (!SendTimeout(hWnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), &got))
        return false;
    text.assign(buf.data(), std::min<size_t>(got, len));
    return true;
}

std::string ClassName(HWND hWnd)
{
    char name[64] = "";
    GetClassNameA(hWnd, name, sizeof name);
    return name;
}

struct FindData {
    DWORD pid;
    const char* title;
    HWND found;
};

BOOL CALLBACK FindProc(HWND hWnd, LPARAM lParam)
{
    auto* d = reinterpret_cast<FindData*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    char title[64] = "";
    if (pid != d->pid || !IsWindowVisible(hWnd) || !GetWindowTextA(hWnd, title, sizeof title) ||
        std::strcmp(title, d->title) != 0)
        return TRUE;
    d->found = hWnd;
    return FALSE;
}

// The visible top-level window of process pid with this exact title, or null.
HWND FindTopWindow(DWORD pid, const char* title)
{
    FindData d = {pid, title, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&d));
    return d.found;
}

// One run of Kavrin.exe; a run still alive at the end of a check is terminated.
class CKavrin {
public:
    CKavrin() = default;
    CKavrin(const CKavrin&) = delete;
    CKavrin& operator=(const CKavrin&) = delete;
    ~CKavrin()
    {
        if (m_process.Get() && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.Get(), 99);
            WaitForSingleObject(m_process.Get(), kWaitMs);
        }
    }

    // Starts the program (Kavrin.exe of this folder unless named) and waits until its window
    // shows reportLength bytes of text.
    bool Start(size_t reportLength, const char* exe = "Kavrin.exe", const char* dir = nullptr)
    {
        PROCESS_INFORMATION pi;
        if (!StartProgram(exe, pi, nullptr, dir))
            return false;
        m_process.Reset(pi.hProcess);
        CloseHandle(pi.hThread);
        m_pid = pi.dwProcessId;
        if (!WaitFor([this] { return (m_hMain = FindTopWindow(m_pid, "Kavrin")) != nullptr; })) {
            Fault("no visible window titled \"Kavrin\" within %lu ms", kWaitMs);
            return false;
        }
        if (!Report() || !Ok()) {
            Fault("the window has no control %d or no OK button (ID 1)", IDC_REPORT);
            return false;
        }
        DWORD_PTR len = 0;
        if (!WaitFor([&] { return SendTimeout(Report(), WM_GETTEXTLENGTH, 0, 0, &len) &&
                                  len == reportLength; })) {
            Fault("the report control holds %lu bytes, expected %zu", static_cast<unsigned long>(len),
                  reportLength);
            return false;
        }
        return true;
    }

    HWND Main() const { return m_hMain; }
    DWORD Pid() const { return m_pid; }
    HWND Report() const { return GetDlgItem(m_hMain, IDC_REPORT); }
    HWND Ok() const { return GetDlgItem(m_hMain, IDOK); }
    HANDLE Process() const { return m_process.Get(); }
    bool Running() const { return WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT; }

    std::string Text() const
    {
        std::string text;
        if (!WindowText(Report(), text))
            Fault("the report control does not answer WM_GETTEXT");
        return text;
    }

    // Returns once every message posted to the program before the call has been handled, and
    // the characters that TranslateMessage made of posted keys. The marker is the edit control's
    // text limit, which the program never reads: one off while the posted message is queued,
    // back to its own value once it has been handled.
    bool Fence() const
    {
        for (int round = 0; round < 2; ++round) {
            DWORD_PTR limit = 0, now = 0;
            if (!SendTimeout(Report(), EM_GETLIMITTEXT, 0, 0, &limit) ||
                !SendTimeout(Report(), EM_SETLIMITTEXT, limit ^ 1, 0) ||
                !PostMessageA(Report(), EM_SETLIMITTEXT, limit, 0) ||
                !WaitFor([&] { return SendTimeout(Report(), EM_GETLIMITTEXT, 0, 0, &now) && now == limit; })) {
                DWORD code = 0;
                if (GetExitCodeProcess(m_process.Get(), &code) && code != STILL_ACTIVE)
                    Fault("the program ended with exit code 0x%lx", code);
                else
                    Fault("the program does not handle posted messages");
                return false;
            }
        }
        return true;
    }

    // The "&Copy" menu command, as the menu posts it; returns once it has been handled.
    bool Copy() const
    {
        return PostMessageA(m_hMain, WM_COMMAND, MAKEWPARAM(ID_COPY, 0), 0) != FALSE && Fence();
    }

    HWND Focus() const
    {
        GUITHREADINFO gti = {};
        gti.cbSize = sizeof gti;
        return GetGUIThreadInfo(GetWindowThreadProcessId(m_hMain, nullptr), &gti) ? gti.hwndFocus
                                                                                   : nullptr;
    }

    // Waits for the process to end; false (with a fault) if it is still running.
    bool WaitExit(DWORD& code) const
    {
        if (WaitForSingleObject(m_process.Get(), kWaitMs) != WAIT_OBJECT_0) {
            Fault("the program is still running %lu ms later", kWaitMs);
            return false;
        }
        GetExitCodeProcess(m_process.Get(), &code);
        return true;
    }

private:
    CHandle m_process;
    DWORD m_pid = 0;
    HWND m_hMain = nullptr;
};

// A message-only window of the driver's own: Wine refuses SetClipboardData after
// EmptyClipboard on a clipboard opened without a window.
class CClipboardWindow {
public:
    CClipboardWindow()
        : m_hWnd(CreateWindowExA(0, "STATIC", "kavrin-e2e", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleA(nullptr), nullptr))
    {
    }
    ~CClipboardWindow() { DestroyWindow(m_hWnd); }
    CClipboardWindow(const CClipboardWindow&) = delete;
    CClipboardWindow& operator=(const CClipboardWindow&) = delete;

    bool Open() const
    {
        return WaitFor([this] { return OpenClipboard(m_hWnd) != FALSE; });
    }

    // Puts text and its zero onto the clipboard as CF_TEXT; the system owns the block after.
    bool SetText(const std::string& text) const
    {
        if (!Open())
            return false;
        bool ok = false;
        if (EmptyClipboard() != FALSE) {
            HGLOBAL hMem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
            if (void* p = hMem != nullptr ? GlobalLock(hMem) : nullptr) {
                std::memcpy(p, text.c_str(), text.size() + 1);
                GlobalUnlock(hMem);
                ok = SetClipboardData(CF_TEXT, hMem) != nullptr;
            }
            // The block is still ours unless SetClipboardData took it.
            if (!ok && hMem != nullptr)
                GlobalFree(hMem); // cppcheck-suppress doubleFree
        }
        CloseClipboard();
        return ok;
    }

    // The whole CF_TEXT block, GlobalSize bytes; false when there is none.
    bool GetBlock(std::string& block) const
    {
        if (!Open())
            return false;
        bool ok = false;
        if (HANDLE hData = GetClipboardData(CF_TEXT); hData != nullptr) {
            const SIZE_T size = GlobalSize(hData);
            if (const char* p = static_cast<const char*>(GlobalLock(hData))) {
                block.assign(p, size);
                GlobalUnlock(hData);
                ok = true;
            }
        }
        CloseClipboard();
        return ok;
    }

private:
    HWND m_hWnd;
};

// Faults unless the clipboard's CF_TEXT block is exactly text and one zero byte.
void ExpectClipboard(const CClipboardWindow& clip, const std::string& text, const char* when)
{
    std::string block;
    if (!clip.GetBlock(block))
        Fault("%s: no CF_TEXT on the clipboard", when);
    else if (block != text + '\0')
        Fault("%s: clipboard block of %s", when, Difference(block, text + '\0').c_str());
}

RECT RectIn(HWND hParent, HWND hChild)
{
    RECT r = {};
    GetWindowRect(hChild, &r);
    MapWindowPoints(HWND_DESKTOP, hParent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Show(const RECT& r)
{
    char s[64];
    std::snprintf(s, sizeof s, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return s;
}

// Faults unless both controls sit where the layout rule puts them for the current client size.
void ExpectLayout(const CKavrin& k, const char* when)
{
    RECT client = {}, button = {};
    GetClientRect(k.Main(), &client);
    GetClientRect(k.Ok(), &button);
    const int w = client.right, h = client.bottom, bw = button.right, bh = button.bottom;
    const RECT report = {0, 0, w - 2, h - 32};
    const int left = w / 2 - bw / 2 - 1;
    const RECT ok = {left, h - 3 - bh, left + bw, h - 3};
    const RECT gotReport = RectIn(k.Main(), k.Report()), gotOk = RectIn(k.Main(), k.Ok());
    if (!EqualRect(&gotReport, &report))
        Fault("%s, client %dx%d: report control at %s, expected %s", when, w, h,
              Show(gotReport).c_str(), Show(report).c_str());
    if (!EqualRect(&gotOk, &ok))
        Fault("%s, client %dx%d: OK button at %s, expected %s", when, w, h, Show(gotOk).c_str(),
              Show(ok).c_str());
}

SIZE WindowSize(HWND hWnd)
{
    RECT r = {};
    GetWindowRect(hWnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

bool Resize(HWND hWnd, int cx, int cy)
{
    return SetWindowPos(hWnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) !=
           FALSE;
}

// ---- checks -------------------------------------------------------------------------------

// The window, its two controls, the focus and the report text.
void CheckWindow()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    if (report.empty() || !k.Start(report.size()))
        return;
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
    if (k.Focus() != k.Ok())
        Fault("the focus is not on the OK button at start");
    // Menus are per process under Wine, so only the bar's presence shows from here.
    RECT win = {}, bare = client;
    GetWindowRect(k.Main(), &win);
    AdjustWindowRectEx(&bare, GetWindowLongA(k.Main(), GWL_STYLE), FALSE,
                       GetWindowLongA(k.Main(), GWL_EXSTYLE));
    Note("menu %p, window height %ld, without a menu bar %ld", static_cast<void*>(GetMenu(k.Main())),
         win.bottom - win.top, bare.bottom - bare.top);
    if (!GetMenu(k.Main()) || win.bottom - win.top <= bare.bottom - bare.top)
        Fault("the window has no menu bar");
    const std::string text = k.Text();
    if (text != report)
        Fault("report control: %s", Difference(text, report).c_str());

    // Centred on the work area, since the template sits at (0, 0) and there is no owner.
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const long dx = (win.left + win.right) - (work.left + work.right);
    const long dy = (win.top + win.bottom) - (work.top + work.bottom);
    if (dx < -2 || dx > 2 || dy < -2 || dy > 2)
        Fault("the window %s is not centred on the work area %s", Show(win).c_str(),
              Show(work).c_str());
}

// "&Copy" puts exactly the report and a zero on the clipboard, which outlives the program.
void CheckCopy()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    CClipboardWindow clip;
    if (report.empty() || !k.Start(report.size()))
        return;
    if (!clip.SetText(kMarker))
        Fault("the driver cannot set the clipboard");
    for (const char* when : {"after a copy", "after a second copy"}) {
        if (!k.Copy())
            return;
        ExpectClipboard(clip, report, when);
        if (GetClipboardOwner() != k.Main())
            Fault("%s: the main window does not own the clipboard", when);
    }

    DWORD code = 0;
    PostMessageA(k.Main(), WM_COMMAND, IDOK, 0);
    if (k.WaitExit(code))
        ExpectClipboard(clip, report, "after the program ended");
}

// Text typed into the report control is never copied, and nothing rewrites the control.
void CheckTyped()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    CClipboardWindow clip;
    if (report.empty() || !k.Start(report.size()))
        return;
    const char typed[] = "Getippt: ";
    SendTimeout(k.Report(), EM_SETSEL, 0, 0);
    SendTimeout(k.Report(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed));
    for (const char* c = "Hallo"; *c; ++c)
        PostMessageA(k.Report(), WM_CHAR, static_cast<unsigned char>(*c), 1);
    // Enter in the report control is a line break there, not the OK button.
    PostMessageA(k.Report(), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(k.Report(), WM_KEYUP, VK_RETURN, 0xC0000001);
    if (!k.Fence())
        return;
    if (!k.Running()) {
        Fault("Enter in the report control ended the program");
        return;
    }
    const std::string edited = k.Text();
    const std::string want = std::string(typed) + "Hallo\r\n" + report;
    if (edited != want) {
        Fault("typing did not edit the control as expected: %s", Difference(edited, want).c_str());
        return;
    }

    if (!clip.SetText(kMarker) || !k.Copy())
        return;
    ExpectClipboard(clip, report, "copy after typing");
    if (k.Text() != edited)
        Fault("copying rewrote the report control");

    Resize(k.Main(), 640, 520);
    if (k.Text() != edited)
        Fault("resizing rewrote the report control");
    ShowWindow(k.Main(), SW_MINIMIZE);
    if (!IsIconic(k.Main()))
        Fault("the window did not minimise");
    ShowWindow(k.Main(), SW_RESTORE);
    if (!k.Fence())
        return;
    if (IsIconic(k.Main()))
        Fault("the window did not restore");
    if (k.Text() != edited)
        Fault("minimising and restoring rewrote the report control");
    ExpectLayout(k, "after minimise and restore");
    if (!k.Copy())
        return;
    ExpectClipboard(clip, report, "copy after resizing and minimising");
}

// While another process holds the clipboard open, a copy leaves its content alone.
void CheckBusy()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    CClipboardWindow clip;
    if (report.empty() || !k.Start(report.size()))
        return;
    if (!clip.SetText(kMarker) || !clip.Open()) {
        Fault("the driver cannot set and hold the clipboard");
        return;
    }
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
        ExpectClipboard(clip, report, "copy once the clipboard was free");
}

// The layout rule after resizing, maximising and restoring.
void CheckResize()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    if (report.empty() || !k.Start(report.size()))
        return;
    static const SIZE sizes[] = {{600, 480}, {401, 350}, {402, 351}, {403, 333}, {777, 555},
                                 {1000, 700}, {349, 297}, {348, 296}, {1279, 1000}};
    for (const SIZE& s : sizes) {
        char when[48];
        std::snprintf(when, sizeof when, "resized to %ldx%ld", s.cx, s.cy);
        if (!Resize(k.Main(), s.cx, s.cy))
            Fault("%s: SetWindowPos failed", when);
        const SIZE got = WindowSize(k.Main());
        if (got.cx != s.cx || got.cy != s.cy)
            Fault("%s: the window is %ldx%ld", when, got.cx, got.cy);
        ExpectLayout(k, when);
    }
    MoveWindow(k.Main(), 10, 10, 505, 405, TRUE);
    ExpectLayout(k, "moved to 505x405");
    ShowWindow(k.Main(), SW_MAXIMIZE);
    ExpectLayout(k, "maximised");
    ShowWindow(k.Main(), SW_RESTORE);
    ExpectLayout(k, "restored");
    if (k.Text() != report)
        Fault("resizing changed the report control");
}

// Requests below 348x296 end at that size; each side is limited on its own.
void CheckMinSize()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    if (report.empty() || !k.Start(report.size()))
        return;
    static const SIZE cases[][2] = {{{100, 100}, {348, 296}}, {{347, 295}, {348, 296}},
                                    {{1, 1}, {348, 296}},     {{300, 500}, {348, 500}},
                                    {{500, 200}, {500, 296}}, {{348, 296}, {348, 296}}};
    for (const auto& c : cases) {
        Resize(k.Main(), c[0].cx, c[0].cy);
        const SIZE got = WindowSize(k.Main());
        if (got.cx != c[1].cx || got.cy != c[1].cy)
            Fault("a request for %ldx%ld ended at %ldx%ld, expected %ldx%ld", c[0].cx, c[0].cy,
                  got.cx, got.cy, c[1].cx, c[1].cy);
        char when[48];
        std::snprintf(when, sizeof when, "requested %ldx%ld", c[0].cx, c[0].cy);
        ExpectLayout(k, when);
    }
}

// A real click on the menu bar's "&Copy" (run.sh clicks where "ready X Y" says) copies the report.
void CheckMenuClick()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    CClipboardWindow clip;
    if (report.empty() || !k.Start(report.size()))
        return;
    if (!clip.SetText(kMarker)) {
        Fault("the driver cannot set the clipboard");
        return;
    }
    const DWORD seq = GetClipboardSequenceNumber();
    POINT p = {0, 0};
    ClientToScreen(k.Main(), &p);
    std::printf("ready %ld %ld\n", p.x + 12, p.y - GetSystemMetrics(SM_CYMENU) / 2);
    std::fflush(stdout);
    if (!WaitFor([seq] { return GetClipboardSequenceNumber() != seq; })) {
        Fault("the clipboard did not change within %lu ms of the click", kWaitMs);
        return;
    }
    if (k.Fence())
        ExpectClipboard(clip, report, "after clicking \"Copy\"");
}

// Ends a fresh run one way and expects exit code 0.
void CheckEnd(const std::string& how)
{
    const std::string report = ExpectedReport();
    CKavrin k;
    if (report.empty() || !k.Start(report.size()))
        return;
    const HWND focus = k.Focus();
    if ((how == "enter" || how == "escape" || how == "space") && focus != k.Ok())
        Fault("the focus is not on the OK button at start");
    if (how == "ok") {
        PostMessageA(k.Ok(), BM_CLICK, 0, 0);
    } else if (how == "okcommand") {
        PostMessageA(k.Main(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(k.Ok()));
    } else if (how == "enter" || how == "escape") {
        const WPARAM vk = how == "enter" ? VK_RETURN : VK_ESCAPE;
        PostMessageA(focus, WM_KEYDOWN, vk, 1);
        PostMessageA(focus, WM_KEYUP, vk, 0xC0000001);
    } else if (how == "space") {
        PostMessageA(focus, WM_KEYDOWN, VK_SPACE, 1);
        PostMessageA(focus, WM_KEYUP, VK_SPACE, 0xC0000001);
    } else if (how == "close") {
        PostMessageA(k.Main(), WM_CLOSE, 0, 0);
    } else if (how == "sysclose") {
        PostMessageA(k.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (how == "wait") {
        // Real input from the X server ends it; it needs the OK button's centre on screen.
        RECT r = {};
        GetWindowRect(k.Ok(), &r);
        std::printf("ready %ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        std::fflush(stdout);
    } else {
        Fault("unknown way to end: %s", how.c_str());
        return;
    }
    DWORD code = 0;
    if (k.WaitExit(code) && code != 0)
        Fault("exit code %lu", code);
}

// The memory figures of another process that the leak check compares.
struct MemoryUse {
    SIZE_T workingSet = 0;
    SIZE_T privateUsage = 0;     // Wine answers 0
    SIZE_T committedPrivate = 0; // summed from VirtualQueryEx
};

bool MeasureMemory(HANDLE hProcess, MemoryUse& m)
{
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    if (!GetProcessMemoryInfo(hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc))
        return false;
    m.workingSet = pmc.WorkingSetSize;
    m.privateUsage = pmc.PrivateUsage;
    m.committedPrivate = 0;
    MEMORY_BASIC_INFORMATION mbi;
    for (const char* p = nullptr; VirtualQueryEx(hProcess, p, &mbi, sizeof mbi) == sizeof mbi;
         p = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE)
            m.committedPrivate += mbi.RegionSize;
    }
    return true;
}

// Faults when a figure grew by more than 5 % (at least 64 KiB) from a to b.
void ExpectFlat(const MemoryUse& a, const MemoryUse& b, const char* first, const char* then)
{
    auto flat = [&](SIZE_T x, SIZE_T y, const char* what) {
        const SIZE_T slack = std::max<SIZE_T>(x / 20, 0x10000);
        Note("%s: %zu %s, %zu %s", what, x, first, y, then);
        if (y > x + slack)
            Fault("%s grew from %zu to %zu bytes %s", what, x, y, then);
    };
    flat(a.workingSet, b.workingSet, "WorkingSetSize");
    flat(a.privateUsage, b.privateUsage, "PrivateUsage");
    flat(a.committedPrivate, b.committedPrivate, "committed private memory");
    if (!a.workingSet || !a.committedPrivate)
        Fault("the memory figures read 0");
}

// 200 copies in a row leave the program's memory where 20 left it.
void CheckLeak()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    if (report.empty() || !k.Start(report.size()))
        return;
    CHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                                GetProcessId(k.Process())));
    auto copies = [&](int n) {
        for (int i = 0; i < n; ++i)
            if (!k.Copy())
                return false;
        return true;
    };
    MemoryUse before, after;
    if (!copies(20) || !MeasureMemory(process.Get(), before) || !copies(200) ||
        !MeasureMemory(process.Get(), after)) {
        Fault("cannot copy or measure the program's memory");
        return;
    }
    ExpectFlat(before, after, "after 20 copies", "after 200 more");
}

// ---- steps carried out by the script: real X input, screenshots ----------------------------

int g_steps = 0;

// Asks the script for a step (x_steps.sh): "key TITLE-REGEX KEYSYM...", "click TITLE-REGEX X Y
// BUTTON REPEAT" or "shot FILE X Y W H". Keys and clicks wait for the window whose title
// matches to be mapped. The steps are carried out once each, in order.
__attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2))) void Step(const char* fmt, ...)
{
    char line[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    std::printf("do %s\n", line);
    std::fflush(stdout);
    ++g_steps;
}

// Waits until the script has carried out every step asked for so far: it adds a line "N ok"
// or "N failed" to the file named by E2E_ACK after each. False (with a fault) if one failed.
bool WaitSteps()
{
    const char* ack = std::getenv("E2E_ACK");
    if (!ack) {
        Fault("E2E_ACK is not set");
        return false;
    }
    const std::string path = WindowsPath(ack);
    std::string acks;
    auto done = [&] {
        acks.clear();
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            for (int c; (c = std::fgetc(f)) != EOF;)
                acks += static_cast<char>(c);
            std::fclose(f);
        }
        return std::count(acks.begin(), acks.end(), '\n') >= g_steps;
    };
    if (!WaitFor(done, kWaitMs, 20)) {
        Fault("the script did not carry out step %d within %lu ms", g_steps, kWaitMs);
        return false;
    }
    if (const size_t failed = acks.find(" failed"); failed != std::string::npos) {
        const size_t from = acks.rfind('\n', failed);
        Fault("the script could not carry out step %s",
              acks.substr(from == std::string::npos ? 0 : from + 1, failed - (from + 1)).c_str());
        return false;
    }
    return true;
}

// ---- About and dedication boxes -----------------------------------------------------------

struct BoxList {
    DWORD pid;
    HWND main;
    std::vector<HWND> boxes;
};

BOOL CALLBACK BoxProc(HWND hWnd, LPARAM lParam)
{
    auto* d = reinterpret_cast<BoxList*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid == d->pid && hWnd != d->main && ClassName(hWnd) == "#32770")
        d->boxes.push_back(hWnd);
    return TRUE;
}

// Every dialog box of the program besides its main window, shown or not yet shown.
std::vector<HWND> Boxes(const CKavrin& k)
{
    BoxList d = {k.Pid(), k.Main(), {}};
    EnumWindows(BoxProc, reinterpret_cast<LPARAM>(&d));
    return d.boxes;
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

// Waits for the program's box with this title to be shown; null (with a fault) if it is not.
HWND WaitBox(const CKavrin& k, const char* title, const char* after)
{
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindTopWindow(k.Pid(), title)) != nullptr; }))
        Fault("%s: no box \"%s\" within %lu ms (boxes: %s)", after, title, kWaitMs, Titles(k).c_str());
    return box;
}

// Posts what opens the About box to the main window and waits for the box.
HWND OpenAbout(const CKavrin& k, UINT msg, WPARAM wParam, const char* how,
               const char* title = kAboutTitle)
{
    PostMessageA(k.Main(), msg, wParam, 0);
    return WaitBox(k, title, how);
}

HWND FocusOf(HWND hWnd)
{
    GUITHREADINFO gti = {};
    gti.cbSize = sizeof gti;
    return GetGUIThreadInfo(GetWindowThreadProcessId(hWnd, nullptr), &gti) ? gti.hwndFocus : nullptr;
}

enum class CloseBy { OkButton, Escape, Close, SysClose };

// Ends a box one way; true once it is gone and its owner is enabled again, with the focus.
bool CloseBox(HWND box, HWND owner, CloseBy how, const char* what)
{
    const HWND focus = FocusOf(box);
    switch (how) {
    case CloseBy::OkButton:
        PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        break;
    case CloseBy::Escape:
        PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
        break;
    case CloseBy::Close:
        PostMessageA(box, WM_CLOSE, 0, 0);
        break;
    case CloseBy::SysClose:
        PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    if (!WaitFor([box] { return IsWindow(box) == FALSE; })) {
        Fault("%s: the box is still open %lu ms after it was told to close", what, kWaitMs);
        return false;
    }
    if (!WaitFor([owner] { return IsWindowEnabled(owner) != FALSE; })) {
        Fault("%s: the window beneath stays disabled after the box closed", what);
        return false;
    }
    if (!WaitFor([owner] { return IsChild(owner, FocusOf(owner)) != FALSE; })) {
        Fault("%s: the focus did not return to the window beneath", what);
        return false;
    }
    return true;
}

// Ends the program through its main window's system menu command and expects exit code 0.
void ExpectEnd(const CKavrin& k)
{
    PostMessageA(k.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = 0;
    if (k.WaitExit(code) && code != 0)
        Fault("exit code %lu", code);
}

void ExpectText(HWND hWnd, const std::string& want, const char* what)
{
    std::string got;
    if (!hWnd || !WindowText(hWnd, got))
        Fault("%s: no such window, or it does not answer", what);
    else if (got != want)
        Fault("%s: %s", what, Difference(got, want).c_str());
}

// Faults unless box is owned by owner, which it disables, and sits centred over it.
void ExpectModalOver(HWND box, HWND owner, const char* what)
{
    if (GetWindow(box, GW_OWNER) != owner)
        Fault("%s: owned by %p, not by the window beneath", what, static_cast<void*>(GetWindow(box, GW_OWNER)));
    if (IsWindowEnabled(owner))
        Fault("%s: the window beneath stays enabled", what);
    RECT rb = {}, ro = {};
    GetWindowRect(box, &rb);
    GetWindowRect(owner, &ro);
    const long dx = (rb.left + rb.right) - (ro.left + ro.right);
    const long dy = (rb.top + rb.bottom) - (ro.top + ro.bottom);
    if (dx < -2 || dx > 2 || dy < -2 || dy > 2)
        Fault("%s: at %s, not centred over %s", what, Show(rb).c_str(), Show(ro).c_str());
    if (FocusOf(box) != GetDlgItem(box, IDOK))
        Fault("%s: the focus is not on its OK button", what);
}

// The pixels of a screen rectangle, read through the screen DC.
std::vector<DWORD> Capture(const RECT& r)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<DWORD> pixels;
    HDC hScreen = GetDC(nullptr);
    HDC hMem = CreateCompatibleDC(hScreen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP hBitmap = CreateDIBSection(hMem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (hBitmap && bits) {
        HGDIOBJ old = SelectObject(hMem, hBitmap);
        if (BitBlt(hMem, 0, 0, w, h, hScreen, r.left, r.top, SRCCOPY)) {
            GdiFlush();
            const auto* p = static_cast<const DWORD*>(bits);
            pixels.assign(p, p + static_cast<size_t>(w) * static_cast<size_t>(h));
        }
        SelectObject(hMem, old);
        DeleteObject(hBitmap);
    }
    DeleteDC(hMem);
    ReleaseDC(nullptr, hScreen);
    return pixels;
}

bool OneColour(const std::vector<DWORD>& pixels)
{
    return std::all_of(pixels.begin(), pixels.end(), [&](DWORD px) { return px == pixels[0]; });
}

BOOL CALLBACK PaintPendingProc(HWND hWnd, LPARAM lParam)
{
    if (GetUpdateRect(hWnd, nullptr, FALSE) == FALSE)
        return TRUE;
    *reinterpret_cast<bool*>(lParam) = true;
    return FALSE;
}

// True once neither the window nor any of its children waits for WM_PAINT. Wine answers
// GetUpdateRect for another process's window from the server, without sending it a message.
bool Painted(HWND hWnd)
{
    bool pending = GetUpdateRect(hWnd, nullptr, FALSE) != FALSE;
    if (!pending)
        EnumChildWindows(hWnd, PaintPendingProc, reinterpret_cast<LPARAM>(&pending));
    return !pending;
}

RECT WindowRect(HWND hWnd)
{
    RECT r = {};
    GetWindowRect(hWnd, &r);
    return r;
}

// Faults unless the window, once painted, shows a picture of several colours that then
// changes.
void ExpectMoving(HWND hWnd, const char* what)
{
    const RECT r = WindowRect(hWnd);
    std::vector<DWORD> first;
    if (!WaitFor([&] {
            first = Capture(r);
            return Painted(hWnd) && !first.empty() && !OneColour(first);
        }, kWaitMs, 20)) {
        if (first.empty())
            Fault("%s: cannot read the screen at %s", what, Show(r).c_str());
        else if (OneColour(first))
            Fault("%s: the area %s is of one colour", what, Show(r).c_str());
        else
            Fault("%s: still waits to be painted after %lu ms", what, kWaitMs);
        return;
    }
    if (!WaitFor([&] { return Capture(r) != first; }, kWaitMs, 20))
        Fault("%s: the picture at %s did not change in %lu ms", what, Show(r).c_str(), kWaitMs);
}

// Waits until the windows and their children are painted and r shows the same picture, of
// more than one colour, in two captures 200 ms apart; the animations in moving are left out
// of the comparison. False (with a fault) if that does not happen within kWaitMs.
bool WaitSettled(const char* what, std::initializer_list<HWND> windows, const RECT& r,
                 std::initializer_list<HWND> moving = {})
{
    std::vector<DWORD> last;
    const bool settled = WaitFor(
        [&] {
            std::vector<DWORD> now = Capture(r);
            if (now.empty() || OneColour(now) ||
                !std::all_of(windows.begin(), windows.end(), [](HWND w) { return Painted(w); })) {
                last.clear();
                return false;
            }
            for (HWND anim : moving) {
                RECT in = {};
                const RECT rcAnim = WindowRect(anim);
                if (!IntersectRect(&in, &rcAnim, &r))
                    continue;
                const auto width = static_cast<size_t>(r.right - r.left);
                for (LONG y = in.top; y < in.bottom; ++y)
                    for (LONG x = in.left; x < in.right; ++x)
                        now[static_cast<size_t>(y - r.top) * width + static_cast<size_t>(x - r.left)] = 0;
            }
            const bool same = now == last;
            last = std::move(now);
            return same;
        },
        kWaitMs, 200);
    if (!settled)
        Fault("%s: the screen at %s did not settle within %lu ms", what, Show(r).c_str(), kWaitMs);
    return settled;
}

HWND AnimationOf(HWND box, int id)
{
    return FindWindowExA(GetDlgItem(box, id), nullptr, "SysAnimate32", nullptr);
}

// Faults unless the animation control id of the box, once the box is on the screen, moves.
void ExpectPlaying(HWND box, int id, const char* what)
{
    const HWND anim = AnimationOf(box, id);
    // Until then the animation's area may still show what lay there before.
    if (WaitSettled(what, {box}, WindowRect(box), {anim}))
        ExpectMoving(anim, what);
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
    ExpectPlaying(box, id, what);
    return anim;
}

// A client point of the box at least 4 pixels away from every child window.
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
    Fault("the box has no free client point");
    return false;
}

POINT Centre(HWND hWnd)
{
    RECT r = {};
    GetWindowRect(hWnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The About box's texts read from the program's version resource, for an executable named app.
void ExpectAboutTexts(HWND box, const std::string& app)
{
    ExpectText(box, "Info \xFC" "ber " + app, "About box title");
    ExpectText(GetDlgItem(box, IDC_VERSION), "Version (2.0.0.3)", "version line");
    ExpectText(GetDlgItem(box, IDC_COPYRIGHT), "\xA9 2001-2026 Kavrin-Projekt", "copyright line");
    ExpectText(GetDlgItem(box, IDC_COMMENTS), "Release 16.07.2001", "comment line");
    ExpectText(GetDlgItem(box, IDC_FEEDBACK), "feedback@kavrin.example", "feedback line");
}

// Everything the About box shows, and that it is modal over the main window.
void ExpectAbout(const CKavrin& k, HWND box, const std::string& app = "Kavrin")
{
    ExpectModalOver(box, k.Main(), "About box");
    ExpectAboutTexts(box, app);
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
    ExpectText(widmung, kWidmungTitle, "Widmung title");
    ExpectText(GetDlgItem(widmung, IDC_WIDMUNG_TEXT), "F\xFCr alle User...", "Widmung text");
    ExpectAnimation(widmung, IDC_WIDMUNG_ANIMATION, "Widmung animation");
}

// Opens the dedication box with a right double-click posted to a free point of the About box.
HWND OpenWidmung(const CKavrin& k, HWND about)
{
    POINT p = {};
    if (!FreePoint(about, p))
        return nullptr;
    PostMessageA(about, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    return WaitBox(k, kWidmungTitle, "a right double-click in the About box");
}

// The About box and the dedication box, opened with posted messages.
void CheckAbout()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    if (report.empty() || !k.Start(report.size()))
        return;
    const HWND about = OpenAbout(k, WM_SYSCOMMAND, IDM_ABOUTBOX, "IDM_ABOUTBOX");
    if (!about)
        return;
    ExpectAbout(k, about);

    // Right double-clicks that a child window takes open nothing.
    const HWND placeholder = GetDlgItem(about, IDC_ANIMATION);
    for (HWND child : {GetDlgItem(about, IDOK), placeholder, FindWindowExA(placeholder, nullptr, nullptr, nullptr)})
        PostMessageA(child, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(5, 5));
    if (!k.Fence())
        return;
    if (Boxes(k).size() != 1)
        Fault("a right double-click on a child of the About box opened a box (boxes: %s)", Titles(k).c_str());

    HWND widmung = OpenWidmung(k, about);
    if (!widmung)
        return;
    const double widmungOpened = NowMs();
    ExpectWidmung(widmung, about);
    // Both clips start over after their last frame: 6.4 s and 3.38 s, under Wine about 7.2 s
    // and 3.6 s (it draws a frame, then waits a frame's time). One played once stands still.
    // A deliberate pause past the end of a pass: that the clip keeps running is under test.
    Sleep(static_cast<DWORD>(std::max(0.0, widmungOpened + 9000 - NowMs())));
    ExpectPlaying(widmung, IDC_WIDMUNG_ANIMATION, "Widmung animation after one pass");
    if (!CloseBox(widmung, about, CloseBy::Escape, "Widmung closed with Escape"))
        return;
    if (!IsWindow(about)) {
        Fault("closing Widmung closed the About box too");
        return;
    }
    ExpectPlaying(about, IDC_ANIMATION, "About box animation after one pass");
    ExpectText(GetDlgItem(about, IDC_VERSION), "Version (2.0.0.3)", "version line after Widmung");
    widmung = OpenWidmung(k, about);
    if (!widmung || !CloseBox(widmung, about, CloseBy::Close, "Widmung closed with WM_CLOSE") ||
        !CloseBox(about, k.Main(), CloseBy::OkButton, "About box closed with its OK button"))
        return;
    if (!Boxes(k).empty())
        Fault("boxes still open: %s", Titles(k).c_str());
    if (k.Text() != report)
        Fault("the report control changed while the boxes were open");
    ExpectEnd(k);
}

// System commands 0x0010 to 0x001F open the About box; others get the default processing.
void CheckSysCommands()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    CClipboardWindow clip;
    if (report.empty() || !k.Start(report.size()))
        return;
    for (UINT id = 0x0010; id <= 0x001F; ++id) {
        char how[48];
        std::snprintf(how, sizeof how, "WM_SYSCOMMAND 0x%04x", id);
        const HWND about = OpenAbout(k, WM_SYSCOMMAND, id, how);
        if (!about)
            return;
        ExpectModalOver(about, k.Main(), how);
        ExpectText(GetDlgItem(about, IDC_VERSION), "Version (2.0.0.3)", how);
        if (!CloseBox(about, k.Main(), id % 2 ? CloseBy::SysClose : CloseBy::OkButton, how))
            return;
    }
    for (UINT id : {0x0000u, 0x000Fu, 0x0020u, 0x0110u, 0x1010u}) {
        PostMessageA(k.Main(), WM_SYSCOMMAND, id, 0);
        if (!k.Fence())
            return;
        if (!Boxes(k).empty()) {
            Fault("WM_SYSCOMMAND 0x%04x opened a box: %s", id, Titles(k).c_str());
            return;
        }
    }
    if (!IsWindowEnabled(k.Main()))
        Fault("the main window is disabled after the system commands");
    if (!clip.SetText(kMarker) || !k.Copy())
        return;
    ExpectClipboard(clip, report, "copy after the system commands");
    const HWND about = OpenAbout(k, WM_SYSCOMMAND, IDM_ABOUTBOX, "IDM_ABOUTBOX after the others");
    if (about && CloseBox(about, k.Main(), CloseBy::Escape, "About box closed with Escape"))
        ExpectEnd(k);
}

// ID_HELP opens the About box whatever its notification code.
void CheckHelp()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    if (report.empty() || !k.Start(report.size()))
        return;
    for (WORD code : {WORD{0}, WORD{1}, WORD{0xFFFF}}) {
        char how[48];
        std::snprintf(how, sizeof how, "ID_HELP with code 0x%04x", code);
        const HWND about = OpenAbout(k, WM_COMMAND, MAKEWPARAM(ID_HELP, code), how);
        if (!about)
            return;
        ExpectModalOver(about, k.Main(), how);
        ExpectAboutTexts(about, "Kavrin");
        if (!CloseBox(about, k.Main(), CloseBy::OkButton, how))
            return;
    }
    ExpectEnd(k);
}

// Waits until box is gone; faults if meanwhile a second box was open or one titled `never`
// appeared. Real input ends the box: anything that opened a box before it would take it.
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

// F1 pressed in the main window opens the About box; pressed in the box it opens no other.
void CheckF1()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    if (report.empty() || !k.Start(report.size()))
        return;
    Step("key ^Kavrin$ F1");
    const HWND about = WaitBox(k, kAboutTitle, "F1 in the main window");
    if (!about)
        return;
    ExpectModalOver(about, k.Main(), "About box opened with F1");
    ExpectAboutTexts(about, "Kavrin");
    Step("key %s F1 Escape", kAboutTitleX);
    ExpectOnlyClosed(k, about, nullptr, "F1 in the About box");
    if (WaitFor([&] { return IsWindowEnabled(k.Main()) != FALSE; }))
        ExpectEnd(k);
    else
        Fault("the main window stays disabled");
}

// Real right double-clicks: on the OK button and the animation nothing opens, in the About
// box's own client area the dedication box does.
void CheckRealDoubleClick()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    if (report.empty() || !k.Start(report.size()))
        return;
    HWND about = OpenAbout(k, WM_SYSCOMMAND, IDM_ABOUTBOX, "IDM_ABOUTBOX");
    if (!about)
        return;
    const POINT ok = Centre(GetDlgItem(about, IDOK)), anim = Centre(GetDlgItem(about, IDC_ANIMATION));
    Step("click %s %ld %ld 3 2", kAboutTitleX, ok.x, ok.y);
    Step("click %s %ld %ld 3 2", kAboutTitleX, anim.x, anim.y);
    Step("key %s Escape", kAboutTitleX);
    ExpectOnlyClosed(k, about, kWidmungTitle, "a right double-click on the OK button or the animation");

    about = OpenAbout(k, WM_SYSCOMMAND, IDM_ABOUTBOX, "IDM_ABOUTBOX again");
    POINT p = {};
    if (!about || !FreePoint(about, p))
        return;
    ClientToScreen(about, &p);
    Step("click %s %ld %ld 3 2", kAboutTitleX, p.x, p.y);
    const HWND widmung = WaitBox(k, kWidmungTitle, "a real right double-click in the About box");
    if (!widmung)
        return;
    ExpectModalOver(widmung, about, "Widmung");
    ExpectText(GetDlgItem(widmung, IDC_WIDMUNG_TEXT), "F\xFCr alle User...", "Widmung text");
    Step("key ^Widmung$ Escape");
    if (!WaitFor([&] { return IsWindow(widmung) == FALSE; })) {
        Fault("Widmung did not close at the Escape key");
        return;
    }
    if (CloseBox(about, k.Main(), CloseBy::OkButton, "About box after Widmung"))
        ExpectEnd(k);
}

// A copy of the program named Andere.exe (in dir) names its About box after itself and still
// finds its version resource.
void CheckOtherName(const std::string& dir)
{
    const std::string report = ExpectedReport();
    CKavrin k;
    if (report.empty() || !k.Start(report.size(), "Andere.exe", dir.c_str()))
        return;
    const HWND about = OpenAbout(k, WM_COMMAND, ID_HELP, "ID_HELP in Andere.exe", "Info \xFC" "ber Andere");
    if (!about)
        return;
    ExpectAbout(k, about, "Andere");
    if (CloseBox(about, k.Main(), CloseBy::OkButton, "About box of Andere.exe"))
        ExpectEnd(k);
}

// One opening and closing of the About box, with the dedication box inside it if asked.
bool AboutRound(const CKavrin& k, bool withWidmung)
{
    const HWND about = OpenAbout(k, WM_SYSCOMMAND, IDM_ABOUTBOX, "IDM_ABOUTBOX");
    if (!about)
        return false;
    if (withWidmung) {
        const HWND widmung = OpenWidmung(k, about);
        if (!widmung || !CloseBox(widmung, about, CloseBy::Escape, "Widmung"))
            return false;
    }
    return CloseBox(about, k.Main(), CloseBy::OkButton, "About box");
}

CHandle OpenForMemory(const CKavrin& k)
{
    return CHandle(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, k.Pid()));
}

// 50 openings of the About box leave the program's memory where 10 left it.
void CheckAboutLeak()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    if (report.empty() || !k.Start(report.size()))
        return;
    const CHandle process = OpenForMemory(k);
    auto rounds = [&](int n) {
        for (int i = 0; i < n; ++i)
            if (!AboutRound(k, false))
                return false;
        return true;
    };
    MemoryUse before, after;
    if (!rounds(10) || !MeasureMemory(process.Get(), before) || !rounds(50) ||
        !MeasureMemory(process.Get(), after)) {
        Fault("cannot open the About box or measure the program's memory");
        return;
    }
    ExpectFlat(before, after, "after 10 openings", "after 50 more");
    ExpectEnd(k);
}

// 200 rounds of five copies and one opening of the About box, every fifth with the dedication
// box: the program still answers, shows and copies the report, and its memory stays flat.
void CheckSoak()
{
    const std::string report = ExpectedReport();
    CKavrin k;
    CClipboardWindow clip;
    if (report.empty() || !k.Start(report.size()))
        return;
    const CHandle process = OpenForMemory(k);
    const double t0 = NowMs();
    MemoryUse after50, after200;
    for (int round = 1; round <= 200; ++round) {
        for (int i = 0; i < 5; ++i)
            if (!k.Copy())
                return;
        if (!AboutRound(k, round % 5 == 0)) {
            Fault("round %d failed", round);
            return;
        }
        if (round == 50 && !MeasureMemory(process.Get(), after50))
            Fault("cannot measure the program's memory");
    }
    if (!MeasureMemory(process.Get(), after200))
        Fault("cannot measure the program's memory");
    Note("200 rounds took %.1f s", (NowMs() - t0) / 1000);
    ExpectFlat(after50, after200, "after 50 rounds", "after 200");
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(k.Main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &r))
        Fault("the main window does not answer within 1 s");
    if (k.Text() != report)
        Fault("report control after the soak: %s", Difference(k.Text(), report).c_str());
    if (!clip.SetText(kMarker) || !k.Copy())
        return;
    ExpectClipboard(clip, report, "copy after the soak");
    ExpectEnd(k);
}

// Both programs run from dir, beside planted DLLs, as they run from the build: the same report,
// the copy, the About box with its version, the dedication box, both animations.
void CheckPlanted(const std::string& dir)
{
    const std::string report = ExpectedReport();
    const std::string planted = ExpectedReport(dir.c_str());
    if (report.empty() || planted.empty())
        return;
    if (planted != report)
        Fault("KavrinReport.exe beside the DLLs: %s", Difference(planted, report).c_str());
    CKavrin k;
    CClipboardWindow clip;
    if (!k.Start(report.size(), "Kavrin.exe", dir.c_str()))
        return;
    if (k.Text() != report)
        Fault("report control: %s", Difference(k.Text(), report).c_str());
    if (!clip.SetText(kMarker) || !k.Copy())
        return;
    ExpectClipboard(clip, report, "copy");
    const HWND about = OpenAbout(k, WM_SYSCOMMAND, IDM_ABOUTBOX, "IDM_ABOUTBOX");
    if (!about)
        return;
    ExpectAbout(k, about);
    const HWND widmung = OpenWidmung(k, about);
    if (!widmung)
        return;
    ExpectWidmung(widmung, about);
    if (CloseBox(widmung, about, CloseBy::OkButton, "Widmung") &&
        CloseBox(about, k.Main(), CloseBy::OkButton, "About box"))
        ExpectEnd(k);
}

// The planting check's control: floor_dialog.exe, which keeps the default search order, takes
// the theme stand-in from dir once it shows its dialog.
void CheckPlantControl(const std::string& dir)
{
    PROCESS_INFORMATION pi;
    if (!StartProgram("floor_dialog.exe", pi, nullptr, dir.c_str()))
        return;
    CHandle process(pi.hProcess), thread(pi.hThread);
    const std::string marker = dir + "\\planted-uxtheme.txt";
    const bool loaded = WaitFor([&] {
        std::string text;
        HANDLE h = CreateFileA(marker.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        char buf[1024];
        DWORD got = 0;
        while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
            text.append(buf, got);
        CloseHandle(h);
        return text.find("floor_dialog.exe") != std::string::npos;
    });
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, kWaitMs);
    if (!loaded)
        Fault("floor_dialog.exe did not load the uxtheme.dll planted beside it");
}

// ---- screenshots ---------------------------------------------------------------------------

struct MenuFind {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MenuProc(HWND hWnd, LPARAM lParam)
{
    auto* d = reinterpret_cast<MenuFind*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid != d->pid || IsWindowVisible(hWnd) == FALSE || ClassName(hWnd) != "#32768")
        return TRUE;
    d->found = hWnd;
    return FALSE;
}

// The program's open pop-up menu, or null.
HWND OpenMenu(const CKavrin& k)
{
    MenuFind d = {k.Pid(), nullptr};
    EnumWindows(MenuProc, reinterpret_cast<LPARAM>(&d));
    return d.found;
}

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
    const std::string report = ExpectedReport();
    CKavrin k;
    if (report.empty() || !k.Start(report.size()))
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

int Usage()
{
    std::puts("usage: kavrin_e2e CHECK\n"
              "  window | copy | typed | busy | resize | minsize | leak | menuclick\n"
              "  about | syscommands | help | f1 | rdblclick | aboutleak | soak\n"
              "  othername DIR | planted DIR | plantcontrol DIR | screenshots DIR\n"
              "  end ok|okcommand|enter|escape|space|close|sysclose|wait");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string check = argv[1];
    const std::string arg = argc > 2 ? argv[2] : "";
    if (check == "window")       CheckWindow();
    else if (check == "copy")    CheckCopy();
    else if (check == "typed")   CheckTyped();
    else if (check == "busy")    CheckBusy();
    else if (check == "resize")  CheckResize();
    else if (check == "minsize") CheckMinSize();
    else if (check == "leak")    CheckLeak();
    else if (check == "menuclick") CheckMenuClick();
    else if (check == "about")   CheckAbout();
    else if (check == "syscommands") CheckSysCommands();
    else if (check == "help")    CheckHelp();
    else if (check == "f1")      CheckF1();
    else if (check == "rdblclick") CheckRealDoubleClick();
    else if (check == "aboutleak") CheckAboutLeak();
    else if (check == "soak")    CheckSoak();
    else if (check == "othername" && !arg.empty()) CheckOtherName(WindowsPath(arg));
    else if (check == "planted" && !arg.empty())   CheckPlanted(WindowsPath(arg));
    else if (check == "plantcontrol" && !arg.empty()) CheckPlantControl(WindowsPath(arg));
    else if (check == "screenshots" && !arg.empty()) Screenshots(arg);
    else if (check == "end" && !arg.empty()) CheckEnd(arg);
    else                         return Usage();
    return g_faults ? 1 : 0;
}
