#include "harness.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace e2e {

int g_faults = 0;

namespace {

// One line of output with its prefix, flushed at once so that the script sees it in order.
void PrintLine(const char* prefix, const char* fmt, va_list args)
{
    std::fputs(prefix, stdout);
    std::vprintf(fmt, args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// A Windows path for a path of the driver's command line: "/tmp/x" becomes "Z:\\tmp\\x".
std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

}  // namespace

bool Fault(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    PrintLine("- ", fmt, args);
    va_end(args);
    ++g_faults;
    return false;
}

void Note(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    PrintLine("# ", fmt, args);
    va_end(args);
}

int ScriptDpi()
{
    const char* dpi = std::getenv("E2E_DPI");
    return dpi ? std::atoi(dpi) : 96;
}

bool ReadScreenPixels(HWND hOther)
{
    using SetContext = HANDLE(WINAPI*)(HANDLE);
    using DpiOf = UINT(WINAPI*)(HWND);
    const HMODULE hUser = GetModuleHandleA("user32.dll");
    const auto set = reinterpret_cast<SetContext>(
        reinterpret_cast<void (*)()>(GetProcAddress(hUser, "SetThreadDpiAwarenessContext")));
    const auto dpiOf = reinterpret_cast<DpiOf>(reinterpret_cast<void (*)()>(GetProcAddress(hUser, "GetDpiForWindow")));
    if (!set || !set(reinterpret_cast<HANDLE>(-4)) || !dpiOf || !hOther)   // PER_MONITOR_AWARE_V2
        return true;   // a system without per-monitor awareness scales nothing
    if (const UINT dpi = dpiOf(hOther); dpi != static_cast<UINT>(ScriptDpi()))
        return Fault("the window is at %u DPI, not at the %d DPI the script set", dpi, ScriptDpi());
    return true;
}

double NowMs()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string ExeDir()
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of('\\'));
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool StartProgram(const char* name, PROCESS_INFORMATION& pi, HANDLE hStdOut, const char* dir, const char* args)
{
    std::string cmd = "\"" + (dir ? std::string(dir) : ExeDir()) + "\\" + name + "\"";
    if (args && *args)
        cmd += std::string(" ") + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (hStdOut) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = hStdOut;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, static_cast<BOOL>(hStdOut != nullptr), 0, nullptr,
                        dir, &si, &pi))
        return Fault("cannot start %s (error %lu)", name, GetLastError());
    return true;
}

std::string ExpectedReport(const char* dir)
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

bool SendTimeout(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, DWORD_PTR* pResult)
{
    DWORD_PTR r = 0;
    const bool ok =
        SendMessageTimeoutA(hWnd, uMsg, wParam, lParam, SMTO_ABORTIFHUNG, kSendMs, &r) != 0;
    if (pResult)
        *pResult = r;
    return ok;
}

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

bool ExpectText(HWND hWnd, const std::string& want, const char* what)
{
    std::string got;
    if (!hWnd || !WindowText(hWnd, got))
        return Fault("%s: no such window, or it does not answer", what);
    if (got != want)
        return Fault("%s: %s", what, Difference(got, want).c_str());
    return true;
}

std::string ClassName(HWND hWnd)
{
    char name[64] = "";
    GetClassNameA(hWnd, name, sizeof name);
    return name;
}

void ExpectClipboard(const CClipboardWindow& clip, const std::string& text, const char* when)
{
    std::string block;
    if (!clip.GetBlock(block))
        Fault("%s: no CF_TEXT on the clipboard", when);
    else if (block != text + '\0')
        Fault("%s: clipboard block of %s", when, Difference(block, text + '\0').c_str());
}

bool ExpectCopy(const CKavrin& k, const char* when)
{
    const CClipboardWindow clip;
    if (!clip.SetText(kMarker))
        return Fault("%s: the driver cannot set the clipboard", when);
    if (!k.Copy())
        return false;
    ExpectClipboard(clip, k.Expected(), when);
    return true;
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

int g_steps = 0;

void Step(const char* fmt, ...)
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

bool WaitSteps()
{
    const char* ack = std::getenv("E2E_ACK");
    if (!ack)
        return Fault("E2E_ACK is not set");
    const std::string path = WindowsPath(ack);
    std::string acks;
    auto done = [&] {
        acks = FileText(path);
        return std::count(acks.begin(), acks.end(), '\n') >= g_steps;
    };
    if (!WaitFor(done, kWaitMs, 20))
        return Fault("the script did not carry out step %d within %lu ms", g_steps, kWaitMs);
    if (const size_t failed = acks.find(" failed"); failed != std::string::npos) {
        const size_t from = acks.rfind('\n', failed);
        return Fault("the script could not carry out step %s",
                     acks.substr(from == std::string::npos ? 0 : from + 1, failed - (from + 1)).c_str());
    }
    return true;
}

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

bool WaitSettled(const char* what, std::initializer_list<HWND> windows, const RECT& r,
                 std::initializer_list<HWND> moving)
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

// ---- shared window helpers

namespace {

struct TopWindowSearch {
    DWORD pid;
    bool (*keep)(HWND, const void*);
    const void* context;
    std::vector<HWND> found;
};

BOOL CALLBACK TopWindowProc(HWND hWnd, LPARAM lParam)
{
    auto* s = reinterpret_cast<TopWindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid == s->pid && s->keep(hWnd, s->context))
        s->found.push_back(hWnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopWindows(DWORD pid, bool (*keep)(HWND, const void*), const void* context)
{
    TopWindowSearch s = {pid, keep, context, {}};
    EnumWindows(TopWindowProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindTopWindow(DWORD pid, const char* title)
{
    const auto found = TopWindows(
        pid,
        [](HWND hWnd, const void* wanted) {
            char text[64] = "";
            return IsWindowVisible(hWnd) != FALSE && GetWindowTextA(hWnd, text, sizeof text) > 0 &&
                   std::strcmp(text, static_cast<const char*>(wanted)) == 0;
        },
        title);
    return found.empty() ? nullptr : found.front();
}

HWND OpenMenu(const CKavrin& k)
{
    const auto found = TopWindows(
        k.Pid(), [](HWND hWnd, const void*) { return IsWindowVisible(hWnd) != FALSE && ClassName(hWnd) == "#32768"; });
    return found.empty() ? nullptr : found.front();
}

POINT Centre(HWND hWnd)
{
    const RECT r = WindowRect(hWnd);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND FocusOf(HWND hWnd)
{
    GUITHREADINFO gti = {};
    gti.cbSize = sizeof gti;
    return GetGUIThreadInfo(GetWindowThreadProcessId(hWnd, nullptr), &gti) ? gti.hwndFocus : nullptr;
}

void PostKey(HWND hWnd, WPARAM vk)
{
    PostMessageA(hWnd, WM_KEYDOWN, vk, 1);
    PostMessageA(hWnd, WM_KEYUP, vk, 0xC0000001);
}

void ExpectCentred(const RECT& inner, const RECT& outer, const char* what)
{
    const long dx = (inner.left + inner.right) - (outer.left + outer.right);
    const long dy = (inner.top + inner.bottom) - (outer.top + outer.bottom);
    if (dx < -2 || dx > 2 || dy < -2 || dy > 2)
        Fault("%s at %s is not centred on %s", what, Show(inner).c_str(), Show(outer).c_str());
}

// ---- temporary folders

CTempDir::CTempDir()
{
    char base[MAX_PATH] = "";
    const DWORD n = GetTempPathA(MAX_PATH, base);
    for (unsigned i = 0; n > 0 && n < MAX_PATH && m_path.empty() && i < 1000; ++i) {
        const std::string path =
            std::string(base) + "kavrin-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(i);
        if (CreateDirectoryA(path.c_str(), nullptr) != FALSE)
            m_path = path;
    }
    if (m_path.empty())
        Fault("cannot make a temporary folder (error %lu)", GetLastError());
}

CTempDir::~CTempDir()
{
    if (m_path.empty())
        return;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((m_path + "\\*").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                DeleteFileA((m_path + "\\" + fd.cFileName).c_str());
        } while (FindNextFileA(hFind, &fd) != FALSE);
        FindClose(hFind);
    }
    RemoveDirectoryA(m_path.c_str());
}

bool CTempDir::Copy(const char* name, const char* newName) const
{
    const std::string to = m_path + "\\" + (newName ? newName : name);
    if (!m_path.empty() && CopyFileA((ExeDir() + "\\" + name).c_str(), to.c_str(), FALSE) != FALSE)
        return true;
    return Fault("cannot copy %s to %s (error %lu)", name, to.c_str(), GetLastError());
}

}  // namespace e2e
