// The end-to-end harness: starting and ending the programs, finding their windows, the
// clipboard through a window of the driver's own, screen captures, steps of real X input that
// the script carries out, waiting on conditions, and faults. Every check is a function without
// arguments, or of a started Kavrin.exe, that reports what it finds with Fault(); a check file
// lists its checks in a table.
#pragma once

#include "../Expected.h"
#include "afxres.h"
#include "resource.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace e2e {

const DWORD kWaitMs = 20000;        // for a window, an exit, a posted message
const UINT kSendMs = 5000;          // for one sent message
const char kMarker[] = "kavrin-e2e marker\r\n";
// The About box's title as a pattern for xdotool, which may see a byte outside ASCII as two:
// such a byte matches a run, a space any character.
inline const std::string kAboutTitleX = [] {
    std::string pattern = "^";
    for (const char c : expected::kAboutTitle)
        pattern += (c & 0x80) != 0 ? ".+" : c == ' ' ? "." : std::string(1, c);
    return pattern + "$";
}();

// ---- checks and faults

// One row of the registry: `--list` prints name, seconds and help; the script runs each.
struct Check {
    const char* name;
    void (*run)();
    const char* help;
    int seconds = 60;
};
// The tables of the check files.
std::vector<Check> WindowChecks();
std::vector<Check> BoxChecks();
std::vector<Check> SoakChecks();
std::vector<Check> PlantingChecks();

extern int g_faults;
// A fault of the running check, printed as "- reason"; false, for `return Fault(...)`. A note is
// printed as "# text".
__attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2))) bool Fault(const char* fmt, ...);
__attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2))) void Note(const char* fmt, ...);

// The DPI the script gave the prefix (E2E_DPI; 96 without).
int ScriptDpi();

// Makes this thread read and set every window's size in the screen's pixels, as a thread aware
// of each monitor's DPI does on Windows. Given another program's window, false (with a fault)
// unless the system gives it the DPI the script set.
bool ReadScreenPixels(HWND hOther);

// Where two byte strings first differ, for a fault message.
std::string Difference(const std::string& got, const std::string& want);
std::string Show(const RECT& r);

// ---- waiting

double NowMs();

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

// ---- processes and files

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

std::string ExeDir();
// The bytes of a file, read while others may write it; empty if there is none.
std::string FileText(const std::string& path);
// A new empty folder under the temporary folder, removed with everything in it when the
// object goes.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    const std::string& Path() const { return m_path; }
    // Copies a file of the driver's folder into this one, under newName if given.
    bool Copy(const char* name, const char* newName = nullptr) const;

private:
    std::string m_path;
};
// Starts a program of this folder, or of dir with dir as its current directory, with args on
// its command line; pi receives both handles (the caller closes them).
bool StartProgram(const char* name, PROCESS_INFORMATION& pi, HANDLE hStdOut = nullptr,
                  const char* dir = nullptr, const char* args = nullptr);
// The bytes KavrinReport.exe (of this folder, or of dir) writes in this environment; empty
// after a fault.
std::string ExpectedReport(const char* dir = nullptr);

// ---- windows

bool SendTimeout(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, DWORD_PTR* pResult = nullptr);
// The text of a window of another process, read with WM_GETTEXTLENGTH and WM_GETTEXT.
bool WindowText(HWND hWnd, std::string& text);
// Faults unless the window's text is want; false after a fault.
bool ExpectText(HWND hWnd, const std::string& want, const char* what);
std::string ClassName(HWND hWnd);
RECT WindowRect(HWND hWnd);
RECT RectIn(HWND hParent, HWND hChild);
POINT Centre(HWND hWnd);
HWND FocusOf(HWND hWnd);
// Posts a key to hWnd as the keyboard delivers it: WM_KEYDOWN, then WM_KEYUP.
void PostKey(HWND hWnd, WPARAM vk);
// The top-level windows of process pid, in Z order, that pass keep.
std::vector<HWND> TopWindows(DWORD pid, bool (*keep)(HWND, const void*), const void* context = nullptr);
// The visible top-level window of process pid with this exact title, or null.
HWND FindTopWindow(DWORD pid, const char* title);
// Faults unless inner's centre lies within 2 pixels of outer's.
void ExpectCentred(const RECT& inner, const RECT& outer, const char* what);

// One run of Kavrin.exe; a run still alive at the end of a check is terminated.
class CKavrin {
public:
    CKavrin() = default;
    CKavrin(const CKavrin&) = delete;
    CKavrin& operator=(const CKavrin&) = delete;
    ~CKavrin()
    {
        if (m_process.Get() && Running()) {
            TerminateProcess(m_process.Get(), 99);
            WaitForSingleObject(m_process.Get(), kWaitMs);
        }
    }

    // Starts the program (Kavrin.exe of this folder unless named, of dir if given) once
    // KavrinReport.exe of the driver's folder has written the report, and waits until the
    // window shows as many bytes; false (with a fault) if any of it fails.
    bool Start(const char* exe = "Kavrin.exe", const char* dir = nullptr)
    {
        m_expected = ExpectedReport();
        if (m_expected.empty())
            return false;
        PROCESS_INFORMATION pi;
        if (!StartProgram(exe, pi, nullptr, dir))
            return false;
        m_process.Reset(pi.hProcess);
        CloseHandle(pi.hThread);
        m_pid = pi.dwProcessId;
        if (!WaitFor([this] { return (m_hMain = FindTopWindow(m_pid, "Kavrin")) != nullptr; }))
            return Fault("no visible window titled \"Kavrin\" within %lu ms", kWaitMs);
        if (!Report() || !Ok())
            return Fault("the window has no control %d or no OK button (ID 1)", IDC_REPORT);
        if (!ReadScreenPixels(m_hMain))
            return false;
        DWORD_PTR len = 0;
        if (!WaitFor([&] { return SendTimeout(Report(), WM_GETTEXTLENGTH, 0, 0, &len) &&
                                  len == m_expected.size(); }))
            return Fault("the report control holds %lu bytes, expected %zu", static_cast<unsigned long>(len),
                         m_expected.size());
        return true;
    }

    // The report as KavrinReport.exe wrote it in this environment.
    const std::string& Expected() const { return m_expected; }
    HWND Main() const { return m_hMain; }
    DWORD Pid() const { return m_pid; }
    HWND Report() const { return GetDlgItem(m_hMain, IDC_REPORT); }
    HWND Ok() const { return GetDlgItem(m_hMain, IDOK); }
    bool Running() const { return WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT; }

    // Returns once every message posted to the program before the call has been handled, and
    // the characters that TranslateMessage made of posted keys. The marker is the edit control's
    // text limit, which the program never reads: one off while the posted message is queued,
    // back to its own value once it has been handled.
    bool Fence() const
    {
        // Every step is retried until the deadline, or until the program has ended: after a copy
        // Wine has once kept the program from answering for longer than one send's timeout.
        const double t0 = NowMs();
        auto left = [t0] { return static_cast<DWORD>(std::max(0.0, t0 + kWaitMs - NowMs())); };
        auto send = [&](UINT msg, WPARAM wParam, DWORD_PTR* result) {
            bool sent = false;
            WaitFor([&] { return (sent = SendTimeout(Report(), msg, wParam, 0, result)) || !Running(); },
                    left());
            return sent;
        };
        for (int round = 0; round < 2; ++round) {
            DWORD_PTR limit = 0, now = 0;
            if (!send(EM_GETLIMITTEXT, 0, &limit) || !send(EM_SETLIMITTEXT, limit ^ 1, nullptr) ||
                PostMessageA(Report(), EM_SETLIMITTEXT, limit, 0) == FALSE ||
                !WaitFor([&] { return send(EM_GETLIMITTEXT, 0, &now) && now == limit; }, left())) {
                DWORD code = 0;
                if (GetExitCodeProcess(m_process.Get(), &code) && code != STILL_ACTIVE)
                    return Fault("the program ended with exit code 0x%lx", code);
                return Fault("the program does not handle posted messages within %lu ms", kWaitMs);
            }
        }
        if (NowMs() - t0 > kSendMs)
            Note("the program answered after %.0f ms", NowMs() - t0);
        return true;
    }

    // The "&Copy" menu command, as the menu posts it; returns once it has been handled.
    bool Copy() const
    {
        return PostMessageA(m_hMain, WM_COMMAND, MAKEWPARAM(ID_COPY, 0), 0) != FALSE && Fence();
    }

    // Waits for the process to end; false (with a fault) if it is still running or its exit code
    // is not 0.
    bool ExpectExit() const
    {
        DWORD code = 0;
        if (WaitForSingleObject(m_process.Get(), kWaitMs) != WAIT_OBJECT_0)
            return Fault("the program is still running %lu ms later", kWaitMs);
        if (GetExitCodeProcess(m_process.Get(), &code) && code != 0)
            Fault("exit code %lu", code);
        return code == 0;
    }

private:
    CHandle m_process;
    std::string m_expected;
    DWORD m_pid = 0;
    HWND m_hMain = nullptr;
};

// Runs check on a fresh start of Kavrin.exe; not at all if the start faults.
template <void (*check)(const CKavrin&)> void Started()
{
    CKavrin k;
    if (k.Start())
        check(k);
}

// The program's open pop-up menu, or null.
HWND OpenMenu(const CKavrin& k);

// ---- the clipboard

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

    // The whole block of the format, GlobalSize bytes; false when there is none.
    bool GetBlock(std::string& block, UINT format = CF_TEXT) const
    {
        if (!Open())
            return false;
        bool ok = false;
        if (HANDLE hData = GetClipboardData(format); hData != nullptr) {
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
void ExpectClipboard(const CClipboardWindow& clip, const std::string& text, const char* when);
// Puts kMarker on the clipboard, has the program copy and faults unless the clipboard then holds
// the report; false if that could not be tried.
bool ExpectCopy(const CKavrin& k, const char* when);

// ---- the screen

// The pixels that the screen shows in r; empty if they cannot be read.
std::vector<DWORD> Capture(const RECT& r);

// Waits until the windows and their children are painted and r shows the same picture, of
// more than one colour, in two captures 200 ms apart; the animations in moving are left out
// of the comparison. False (with a fault) if that does not happen within kWaitMs.
bool WaitSettled(const char* what, std::initializer_list<HWND> windows, const RECT& r,
                 std::initializer_list<HWND> moving = {});

// ---- real X input and screenshots, carried out by the script (x_steps.sh)

// Asks for a step: "key TITLE-REGEX KEYSYM...", "click TITLE-REGEX X Y BUTTON REPEAT" or
// "shot FILE X Y W H"; they are carried out once each, in order. Keys and clicks wait for the
// window whose title matches to be mapped.
__attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2))) void Step(const char* fmt, ...);
// Waits until the script has carried out every step asked for so far: it adds a line "N ok"
// or "N failed" to the file named by E2E_ACK after each. False (with a fault) if one failed.
bool WaitSteps();

// ---- the About and dedication boxes (boxes.cpp)

enum class CloseBy : std::uint8_t { OkButton, Escape, Close, SysClose };

// Every dialog box of the program besides its main window, shown or not yet shown.
std::vector<HWND> Boxes(const CKavrin& k);
std::string Titles(const CKavrin& k);
// Waits for the program's box with this title to be shown; null (with a fault) if it is not.
HWND WaitBox(const CKavrin& k, const char* title, const char* after);
// Posts what opens the About box to the main window and waits for the box.
HWND OpenAbout(const CKavrin& k, UINT msg, WPARAM wParam, const char* how,
               const char* title = expected::kAboutTitle.c_str());
// Ends a box one way; true once it is gone and its owner is enabled again, with the focus.
bool CloseBox(HWND box, HWND owner, CloseBy how, const char* what);
// Ends the program through its main window's system menu command and expects exit code 0.
void ExpectEnd(const CKavrin& k);
// Faults unless box is owned by owner, which it disables, and sits centred over it.
void ExpectModalOver(HWND box, HWND owner, const char* what);
HWND AnimationOf(HWND box, int id);
// Faults unless the animation control id of the box changes its picture more often than the
// clip has frames: it plays and started over (one played once stands still at its end).
void ExpectStartsOver(HWND box, int id, int clip, const char* what);
// A client point of the box at least 4 pixels away from every child window.
bool FreePoint(HWND box, POINT& found);
// "Version (2.0.0.3)", as the About box shows the file version.
std::string VersionLine();
// The About box's texts for an executable named app; without its version block the version,
// comment and copyright are empty.
void ExpectAboutTexts(HWND box, const std::string& app, bool versionRead = true);
// Everything the About box shows, and that it is modal over the main window.
void ExpectAbout(const CKavrin& k, HWND box, const std::string& app = "Kavrin", bool versionRead = true);
void ExpectWidmung(HWND widmung, HWND about);
// Opens the dedication box with a right double-click posted to a free point of the About box.
HWND OpenWidmung(const CKavrin& k, HWND about);
// Waits until box is gone; faults if meanwhile a second box was open or one titled `never`
// appeared. Real input ends the box: anything that opened a box before it would take it.
void ExpectOnlyClosed(const CKavrin& k, HWND box, const char* never, const char* what);
// One opening and closing of the About box, with the dedication box inside it if asked, each
// closed with its OK button; with expect, everything each box shows is checked.
bool AboutRound(const CKavrin& k, bool withWidmung, bool expect = false);

}  // namespace e2e
