// Checks that repeat: memory over many copies and openings, and the soak.
#include "harness.h"

#include <algorithm>

namespace e2e {

namespace {

// The memory figures of another process that the leak checks compare, summed from
// VirtualQueryEx. Not the working set, which moves with the pages the system keeps resident,
// nor PrivateUsage, which Wine answers 0 (docs/WINE.md).
struct MemoryUse {
    SIZE_T committedPrivate = 0;
    SIZE_T committedMapped = 0;   // views of sections
};

// False when the process's memory cannot be read.
bool MeasureMemory(HANDLE hProcess, MemoryUse& m)
{
    m.committedPrivate = m.committedMapped = 0;
    MEMORY_BASIC_INFORMATION mbi;
    for (const char* p = nullptr; VirtualQueryEx(hProcess, p, &mbi, sizeof mbi) == sizeof mbi;
         p = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE)
            m.committedPrivate += mbi.RegionSize;
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_MAPPED)
            m.committedMapped += mbi.RegionSize;
    }
    return m.committedPrivate != 0;
}

// Repeats round (given its number, from 1) first times, measures the program's memory, repeats
// it more times and faults when a figure grew by more than 5 % (at least 64 KiB) meanwhile.
// False (with a fault) if a round failed or the memory could not be read.
bool ExpectFlat(const CKavrin& k, bool (*round)(const CKavrin&, int), int first, int more, const char* rounds)
{
    const CHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, k.Pid()));
    int done = 0;
    auto repeat = [&](int n) {
        for (const int end = done + n; done < end;) {
            if (!round(k, ++done))
                return Fault("%s %d failed", rounds, done);
        }
        return true;
    };
    MemoryUse a, b;
    if (!repeat(first) || !MeasureMemory(process.Get(), a) || !repeat(more) ||
        !MeasureMemory(process.Get(), b))
        return Fault("cannot repeat %s or measure the program's memory", rounds);
    auto flat = [&](SIZE_T x, SIZE_T y, const char* what) {
        if (y > x + std::max<SIZE_T>(x / 20, 0x10000))
            Fault("%s grew from %zu to %zu bytes in %d more %s", what, x, y, more, rounds);
    };
    flat(a.committedPrivate, b.committedPrivate, "committed private memory");
    flat(a.committedMapped, b.committedMapped, "committed mapped memory");
    return true;
}

// 200 copies in a row leave the program's memory where 20 left it.
void CheckLeak(const CKavrin& k)
{
    ExpectFlat(k, [](const CKavrin& run, int) { return run.Copy(); }, 20, 200, "copies");
}

// 50 openings of the About box leave the program's memory where 10 left it.
void CheckAboutLeak(const CKavrin& k)
{
    if (ExpectFlat(k, [](const CKavrin& run, int) { return AboutRound(run, false); }, 10, 50, "openings"))
        ExpectEnd(k);
}

// Five copies and one opening of the About box, every fifth time with the dedication box.
bool SoakRound(const CKavrin& k, int round)
{
    for (int i = 0; i < 5; ++i)
        if (!k.Copy())
            return false;
    return AboutRound(k, round % 5 == 0);
}

// 200 rounds: the program still answers, shows and copies the report, and its memory stays flat
// from the 50th on.
void CheckSoak(const CKavrin& k)
{
    if (!ExpectFlat(k, SoakRound, 50, 150, "rounds"))
        return;
    ExpectText(k.Report(), k.Expected(), "report control after the soak");
    if (ExpectCopy(k, "copy after the soak"))
        ExpectEnd(k);
}

}  // namespace

std::vector<Check> SoakChecks()
{
    return {
        {"leak", Started<CheckLeak>, "200 copies keep memory flat", 180},
        {"aboutleak", Started<CheckAboutLeak>, "50 openings of the About box keep memory flat", 180},
        {"soak", Started<CheckSoak>, "soak: 1000 copies and 200 About boxes, every fifth with Widmung", 600},
    };
}

}  // namespace e2e
