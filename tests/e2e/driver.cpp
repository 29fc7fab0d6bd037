// kavrin_e2e.exe: checks Kavrin.exe and KavrinReport.exe of its own folder from another process.
// Usage: kavrin_e2e --list | --expected | CHECK. --list prints one line a check, "NAME SECONDS
// HELP"; a check prints each fault as a line "- reason", notes as "# text", and exits with 0
// exactly when it found no fault.
#include "harness.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    e2e::ReadScreenPixels(nullptr);
    std::vector<e2e::Check> checks;
    for (auto table : {e2e::WindowChecks, e2e::BoxChecks, e2e::SoakChecks, e2e::PlantingChecks}) {
        const std::vector<e2e::Check> more = table();
        checks.insert(checks.end(), more.begin(), more.end());
    }
    // What the report must hold, from Expected.h, for the scripts: one fact a line, tab-separated.
    if (argc == 2 && std::strcmp(argv[1], "--expected") == 0) {
        for (const expected::SectionTitle& section : expected::kSections)
            std::printf("section\t%s\t%d\n", section.title, section.rule);
        std::printf("buttons\t%s\t%s\n", expected::kButtonsNotSwapped, expected::kButtonsSwapped);
        std::printf("amd64\t%s\t%s\n", expected::kAmd64Type, expected::kAmd64Architecture);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
        for (const e2e::Check& c : checks)
            std::printf("%s %d %s\n", c.name, c.seconds, c.help);
        return 0;
    }
    for (const e2e::Check& c : checks) {
        if (argc == 2 && std::strcmp(argv[1], c.name) == 0) {
            c.run();
            return e2e::g_faults ? 1 : 0;
        }
    }
    std::puts("usage: kavrin_e2e --list | --expected | CHECK");
    return 2;
}
