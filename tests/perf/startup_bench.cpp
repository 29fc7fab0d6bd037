// startup_bench.exe: start-up of Kavrin.exe against its three floors (floor_dialog.exe empty,
// with the report written once, with the report written after every line), all from this folder.
// Usage: startup_bench [RUNS]   (default 10)
// A start lasts from CreateProcess until the program's visible window is found and, where it has
// a report control, that control holds as many bytes as KavrinReport.exe writes here. The
// programs take turns, the first of each round moving on by one; one untimed start of each
// comes first. Prints each round, the medians and their ratios; a fault is printed as
// "- reason" and ends the run with exit code 1.
#include <windows.h>

#include "ReportWrites.h"
#include "resource.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const DWORD kWaitMs = 30000;   // for a window, its text, an exit
const UINT kSendMs = 5000;     // for one sent message

struct Program {
    const char* label;
    const char* exe;
    std::string args;
    const char* title;
    bool hasReport;
    std::vector<double> times;
};

// Owns a kernel handle.
class CHandle {
public:
    explicit CHandle(HANDLE h = nullptr) : m_h(h) {}
    ~CHandle()
    {
        if (m_h && m_h != INVALID_HANDLE_VALUE)
            CloseHandle(m_h);
    }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

bool Fault(const char* what, const char* name)
{
    std::printf("- %s: %s\n", name, what);
    std::fflush(stdout);
    return false;
}

double NowMs()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// Polls pred every millisecond until it holds or kWaitMs have passed.
template <class Pred> bool WaitFor(Pred pred)
{
    const double end = NowMs() + kWaitMs;
    for (;;) {
        if (pred())
            return true;
        if (NowMs() > end)
            return false;
        Sleep(1);
    }
}

std::string ExeDir()
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string file(path, n);
    return file.substr(0, file.find_last_of('\\'));
}

// Starts exe of this folder with args; stdout goes to hStdOut when given.
bool Start(const char* exe, const std::string& args, PROCESS_INFORMATION& pi, HANDLE hStdOut = nullptr)
{
    std::string cmd = "\"" + ExeDir() + "\\" + exe + "\"" + (args.empty() ? "" : " " + args);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (hStdOut) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = hStdOut;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, static_cast<BOOL>(hStdOut != nullptr), 0, nullptr,
                        nullptr, &si, &pi))
        return Fault("cannot be started", exe);
    return true;
}

// Runs KavrinReport.exe with its output in the file path; the bytes it wrote, or nothing.
std::string WriteReport(const std::string& path)
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    std::string text;
    {
        CHandle out(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr));
        PROCESS_INFORMATION pi;
        if (out.Get() == INVALID_HANDLE_VALUE || !Start("KavrinReport.exe", "", pi, out.Get()))
            return text;
        CHandle process(pi.hProcess), thread(pi.hThread);
        DWORD code = 1;
        if (WaitForSingleObject(pi.hProcess, kWaitMs) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(pi.hProcess, &code) || code != 0) {
            TerminateProcess(pi.hProcess, 99);
            Fault("did not end with exit code 0 in time", "KavrinReport.exe");
            return text;
        }
    }
    CHandle in(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char buf[4096];
    DWORD got = 0;
    while (in.Get() != INVALID_HANDLE_VALUE && ReadFile(in.Get(), buf, sizeof buf, &got, nullptr) && got > 0)
        text.append(buf, got);
    if (text.empty())
        Fault("wrote nothing", "KavrinReport.exe");
    return text;
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
    if (pid != d->pid || IsWindowVisible(hWnd) == FALSE || GetWindowTextA(hWnd, title, sizeof title) == 0 ||
        std::string(title) != d->title)
        return TRUE;
    d->found = hWnd;
    return FALSE;
}

// The report control's text, or nothing when it does not answer in time.
std::string ReportText(HWND hWnd)
{
    const HWND hReport = GetDlgItem(hWnd, IDC_REPORT);
    DWORD_PTR len = 0, got = 0;
    if (!SendMessageTimeoutA(hReport, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendMs, &len))
        return {};
    std::vector<char> buf(len + 1);
    if (!SendMessageTimeoutA(hReport, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_ABORTIFHUNG, kSendMs, &got))
        return {};
    return {buf.data(), std::min<size_t>(got, len)};
}

// One start of p until it is ready; its time in ms, or a negative value after a fault. With
// check set, the report control must hold exactly report.
double TimeStart(const Program& p, const std::string& report, bool check)
{
    const double t0 = NowMs();
    PROCESS_INFORMATION pi;
    if (!Start(p.exe, p.args, pi))
        return -1;
    CHandle process(pi.hProcess), thread(pi.hThread);
    FindData d = {pi.dwProcessId, p.title, nullptr};
    const bool ready = WaitFor([&] {
        if (!d.found)
            EnumWindows(FindProc, reinterpret_cast<LPARAM>(&d));
        DWORD_PTR len = 0;
        return d.found != nullptr &&
               (!p.hasReport || (SendMessageTimeoutA(GetDlgItem(d.found, IDC_REPORT), WM_GETTEXTLENGTH, 0, 0,
                                                     SMTO_ABORTIFHUNG, kSendMs, &len) != 0 &&
                                 len == report.size()));
    });
    const double t = NowMs() - t0;
    const bool same = !ready || !check || !p.hasReport || ReportText(d.found) == report;
    if (d.found)
        PostMessageA(d.found, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(pi.hProcess, kWaitMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(pi.hProcess, 99);
    const char* fault = !ready  ? (d.found ? "its control did not hold the whole report in time"
                                           : "showed no window in time")
                        : !same  ? "its control holds other bytes than KavrinReport.exe writes"
                        : !ended ? "did not end after WM_CLOSE in time"
                                 : nullptr;
    if (fault) {
        Fault(fault, p.label);
        return -1;
    }
    return t;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 10;
    if (runs < 1) {
        std::puts("usage: startup_bench [RUNS]");
        return 2;
    }
    const std::string file = ExeDir() + "\\startup_bench_report.txt";
    const std::string report = WriteReport(file);
    if (report.empty())
        return 1;
    const std::string quoted = "\"" + file + "\"";
    std::vector<Program> programs = {
        {"empty", "floor_dialog.exe", "", "Floor", false, {}},
        {"once", "floor_dialog.exe", "once " + quoted, "Floor", true, {}},
        {"perline", "floor_dialog.exe", "perline " + quoted, "Floor", true, {}},
        {"Kavrin", "Kavrin.exe", "", "Kavrin", true, {}},
    };
    const size_t n = programs.size();
    std::printf("report: %zu bytes, %zu writes after every line\n", report.size(), LineEnds(report).size() + 1);

    bool ok = true;
    for (const Program& p : programs)
        ok = ok && TimeStart(p, report, true) >= 0;
    for (int run = 0; ok && run < runs; ++run) {
        std::printf("run %2d:", run + 1);
        for (size_t i = 0; ok && i < n; ++i) {
            Program& p = programs[(static_cast<size_t>(run) + i) % n];
            const double t = TimeStart(p, report, false);
            ok = t >= 0;
            p.times.push_back(t);
            std::printf("  %s %.1f", p.label, t);
        }
        std::puts(" ms");
    }
    DeleteFileA(file.c_str());
    if (!ok)
        return 1;

    std::printf("median of %d (ms):", runs);
    std::vector<double> m;
    for (const Program& p : programs) {
        m.push_back(Median(p.times));
        std::printf("  %s %.1f", p.label, m.back());
    }
    std::printf("\nper-line / write-once            %.2f\n", m[2] / m[1]);
    std::printf("write-once / empty               %.2f\n", m[1] / m[0]);
    std::printf("Kavrin.exe / per-line floor      %.2f\n", m[3] / m[2]);
    std::printf("Kavrin.exe / empty               %.2f\n", m[3] / m[0]);
    return 0;
}
