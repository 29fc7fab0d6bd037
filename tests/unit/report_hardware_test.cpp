#include "ReportHarness.h"

#include <gtest/gtest.h>

namespace {

// The unit tests build natively only, where the record names its union.
SYSTEM_INFO& OemId(SYSTEM_INFO& si, DWORD value)
{
    si.u.dwOemId = value;
    return si;
}

std::vector<std::string> Body(FakePlatform& fake)
{
    std::string text = Section(fake, &CReport::AddHardwareInfo);
    EXPECT_EQ(text.rfind(kHardwareHeader, 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
    text = text.substr(kHardwareHeader.size());
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    EXPECT_EQ(lines.size(), 11u);
    return lines;
}

std::string Mask(DWORD value)
{
    CString s("vorher");
    CReport::FormatBitMask(value, s);
    return {static_cast<LPCTSTR>(s)};
}

}  // namespace

TEST(ReportHardware, WorkedExample)
{
    FakePlatform fake;
    OnePentium(fake.systemInfo);
    EXPECT_EQ(Section(fake, &CReport::AddHardwareInfo), kOnePentiumSection);
}

TEST(ReportHardware, SixtyFourBitValuesAndWideFields)
{
    FakePlatform fake;
    SYSTEM_INFO& si = OemId(fake.systemInfo, 9);   // AMD64
    si.dwPageSize = 65536;
    si.lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(0x10000);
    si.lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(0x7FFFFFFEFFFFULL);
    si.dwActiveProcessorMask = 3;
    si.dwNumberOfProcessors = 2;
    si.dwProcessorType = 8664;
    si.wProcessorLevel = 0xFFFF;
    si.wProcessorRevision = 0xFFFF;
    const auto lines = Body(fake);
    EXPECT_EQ(lines[0], "OemId: 9");
    EXPECT_EQ(lines[1], "PageSize: 65536 (0x10000)");
    EXPECT_EQ(lines[3], "Maximale Applikationsadresse: 0x7ffffffeffff");
    EXPECT_EQ(lines[5], expected::kAmd64Type);
    EXPECT_EQ(lines[6], "ProcessorLevel: 65535 (0xffff)");
    EXPECT_EQ(lines[7], "ProcessorRevision: 65535 (0xffff)");
    EXPECT_EQ(lines[8], expected::kAmd64Architecture);
    EXPECT_EQ(lines[9], "Active Processormask: " + std::string(30, '0') + "11");
}

TEST(ReportHardware, NameTables)
{
    const std::pair<DWORD, const char*> types[] = {
        {386, "386 <PROCESSOR_INTEL_386>"},     {486, "486 <PROCESSOR_INTEL_486>"},
        {586, "586 <PROCESSOR_INTEL_PENTIUM>"}, {4000, "4000 <PROCESSOR_MIPS_R4000>"},
        {21064, "21064 <PROCESSOR_ALPHA_21064>"}, {0, "0 <UNKNOWN_PROCESSOR>"},
    };
    for (const auto& t : types) {
        FakePlatform fake;
        fake.systemInfo.dwProcessorType = t.first;
        EXPECT_EQ(Body(fake)[5], std::string("ProcessorType: ") + t.second);
    }
    const std::pair<DWORD, const char*> archs[] = {
        {0, "INTEL"}, {1, "MIPS"}, {2, "ALPHA"}, {3, "PPC"}, {4, "UNKNOWN"}, {0xFFFF, "UNKNOWN"},
    };
    for (const auto& a : archs) {
        FakePlatform fake;
        OemId(fake.systemInfo, a.first);
        EXPECT_EQ(Body(fake)[8], std::string("ProcessorArchitecture: <PROCESSOR_ARCHITECTURE_") + a.second + ">");
    }
}

TEST(ReportHardware, HighHalfOfOemIdChangesNumberNotArchitecture)
{
    FakePlatform fake;
    OemId(fake.systemInfo, 65536);
    auto lines = Body(fake);
    EXPECT_EQ(lines[0], "OemId: 65536");
    EXPECT_EQ(lines[8], "ProcessorArchitecture: <PROCESSOR_ARCHITECTURE_INTEL>");

    OemId(fake.systemInfo, 0x80000001u);
    lines = Body(fake);
    EXPECT_EQ(lines[0], "OemId: -2147483647");
    EXPECT_EQ(lines[8], "ProcessorArchitecture: <PROCESSOR_ARCHITECTURE_MIPS>");
}

TEST(ReportHardware, BitMaskDigits)
{
    EXPECT_EQ(Mask(0), std::string(32, '0'));
    EXPECT_EQ(Mask(0xFFFFFFFFu), std::string(32, '1'));
    EXPECT_EQ(Mask(0x80000000u), "1" + std::string(31, '0'));
    EXPECT_EQ(Mask(3), std::string(30, '0') + "11");
    EXPECT_EQ(Mask(0x00010004u), "00000000000000010000000000000100");
}

TEST(ReportHardware, MaskAboveBit31GivesSixtyFourDigits)
{
    FakePlatform fake;
    fake.systemInfo.dwActiveProcessorMask = static_cast<DWORD_PTR>(0x8000000000000001ULL);
    EXPECT_EQ(Body(fake)[9], "Active Processormask: 1" + std::string(62, '0') + "1");
    fake.systemInfo.dwActiveProcessorMask = 0xFFFFFFFFu;
    EXPECT_EQ(Body(fake)[9], "Active Processormask: " + std::string(32, '1'));
}
