// startup_bench.exe: start-up of Kavrin.exe against its three floors (floor_dialog.exe empty,
// with the report written once, with the report written after every line), all from this folder.
// Usage: startup_bench [RUNS]   (default 10)
// A start lasts from CreateProcess until the program's visible window is found and, where it has
// a report control, that control holds as many bytes as KavrinReport.exe writes here. The
// programs take turns, the first of each round moving on by one; one untimed start of each
// comes first. Prints each round, the medians and their ratios; a fault is printed as
// "- reason" and ends the run with exit code 1.
#include "ReportWrites.h"
#include "harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Program {
    const char* label;
    const char* exe;
    std::string args;
    const char* title;
    bool hasReport;
    std::vector<double> times;
};

// The report as KavrinReport.exe writes it here, also left in the file path for the floors;
// empty after a fault.
std::string WriteReport(const std::string& path)
{
    std::string text = e2e::ExpectedReport();
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (text.empty() || !out) {
        e2e::Fault("cannot write the report to %s", path.c_str());
        return {};
    }
    return text;
}

// One start of p until it is ready; its time in ms, or a negative value after a fault. With
// check set, the report control must hold exactly report.
double TimeStart(const Program& p, const std::string& report, bool check)
{
    const double t0 = e2e::NowMs();
    PROCESS_INFORMATION pi;
    if (!e2e::StartProgram(p.exe, pi, nullptr, nullptr, p.args.c_str()))
        return -1;
    e2e::CHandle process(pi.hProcess), thread(pi.hThread);
    HWND found = nullptr;
    const bool ready = e2e::WaitFor([&] {
        if (!found)
            found = e2e::FindTopWindow(pi.dwProcessId, p.title);
        DWORD_PTR len = 0;
        return found != nullptr &&
               (!p.hasReport ||
                (e2e::SendTimeout(GetDlgItem(found, IDC_REPORT), WM_GETTEXTLENGTH, 0, 0, &len) && len == report.size()));
    });
    const double t = e2e::NowMs() - t0;
    std::string shown;
    const bool same = !ready || !check || !p.hasReport ||
                      (e2e::WindowText(GetDlgItem(found, IDC_REPORT), shown) && shown == report);
    if (found)
        PostMessageA(found, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(pi.hProcess, e2e::kWaitMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(pi.hProcess, 99);
    const char* fault = !ready  ? (found ? "its control did not hold the whole report in time"
                                           : "showed no window in time")
                        : !same  ? "its control holds other bytes than KavrinReport.exe writes"
                        : !ended ? "did not end after WM_CLOSE in time"
                                 : nullptr;
    if (fault) {
        e2e::Fault("%s: %s", p.label, fault);
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
    const std::string file = e2e::ExeDir() + "\\startup_bench_report.txt";
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
