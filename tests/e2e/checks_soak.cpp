// Checks that repeat: memory over many copies and openings, and the soak.
#include "harness.h"

namespace e2e {

namespace {

// 200 copies in a row leave the program's memory where 20 left it.
void CheckLeak()
{
    CKavrin k;
    if (!k.Start())
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

// 50 openings of the About box leave the program's memory where 10 left it.
void CheckAboutLeak()
{
    CKavrin k;
    if (!k.Start())
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
    CKavrin k;
    CClipboardWindow clip;
    if (!k.Start())
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
    if (k.Text() != k.Expected())
        Fault("report control after the soak: %s", Difference(k.Text(), k.Expected()).c_str());
    if (!clip.SetText(kMarker) || !k.Copy())
        return;
    ExpectClipboard(clip, k.Expected(), "copy after the soak");
    ExpectEnd(k);
}

}  // namespace

std::vector<Check> SoakChecks()
{
    return {
        {"leak", CheckLeak, "200 copies keep memory flat", 180},
        {"aboutleak", CheckAboutLeak, "50 openings of the About box keep memory flat", 180},
        {"soak", CheckSoak, "soak: 1000 copies and 200 About boxes, every fifth with Widmung", 600},
    };
}

}  // namespace e2e
