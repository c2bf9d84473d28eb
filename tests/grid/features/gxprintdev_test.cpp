// The printer set-up of a grid: blocks compared, kept through the settings file, and checked
// before a printer DC is made from them.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>

#include "grid/core/gxlibdata.h"
#include "grid/core/gxobjfile.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxserial.h"
#include "grid/features/gxprintdev.h"
#include "platform/gdi/devblocks.h"
#include "platform/sys/globalmem.h"

namespace {

void Install()
{
    GXRegisterLibraryStrings();
    GXInstallDocSerializeImp();
    GXInstallPrintDeviceImp();
}

PvPrinterSettings Landscape()
{
    PvPrinterSettings s;
    s.outputPath = "/tmp/pv-printdev-test.pdf";
    s.landscape = true;
    return s;
}

void SetBlocks(CGXPrintDevice& pd, const std::vector<BYTE>& names, const std::vector<BYTE>& mode)
{
    pd.CreateDeviceHandles(names.data(), DWORD(names.size()), mode.data(), DWORD(mode.size()));
}

TEST(GXPrintDevice, SetUpsCompareByTheirBlocks)
{
    Install();
    const auto names = PvMakeDevNames(Landscape()), mode = PvMakeDevMode(Landscape());
    CGXPrintDevice a, b, none;
    SetBlocks(a, names, mode);
    SetBlocks(b, names, mode);
    std::vector<BYTE> bn, bm;
    b.GetDeviceData(bn, bm);
    EXPECT_TRUE(a.CompareDeviceData(bn.data(), DWORD(bn.size()), bm.data(), DWORD(bm.size())));
    EXPECT_FALSE(none.CompareDeviceData(bn.data(), DWORD(bn.size()), bm.data(), DWORD(bm.size())));
    EXPECT_TRUE(none.CompareDeviceData(nullptr, 0, nullptr, 0));
    // Fresh global copies hold the same bytes; none without a DEVNAMES block.
    HGLOBAL hn = nullptr, hm = nullptr;
    ASSERT_TRUE(a.CreateHandleCopies(hn, hm));
    EXPECT_EQ(PvGlobalBytes(hn), names);
    EXPECT_EQ(PvGlobalBytes(hm), mode);
    GlobalFree(hn);
    GlobalFree(hm);
    EXPECT_FALSE(none.CreateHandleCopies(hn, hm));
    EXPECT_EQ(none.GetPrintDC(), nullptr);
}

TEST(GXPrintDevice, KeptThroughTheSettingsFile)
{
    Install();
    const std::string path = ::testing::TempDir() + "pv-printdev-" + std::to_string(getpid()) + ".dat";
    const auto names = PvMakeDevNames(Landscape()), mode = PvMakeDevMode(Landscape());
    CGXGridParam p;
    auto* pd = new CGXPrintDevice;
    SetBlocks(*pd, names, mode);
    p.SetPrintDevice(pd, TRUE);
    ASSERT_TRUE(WriteObjectToFile(&p, path.c_str()));
    std::unique_ptr<CGXGridParam> back(ReadGridParamFromFile(path.c_str()));
    ASSERT_NE(back, nullptr);
    ASSERT_NE(back->GetPrintDevice(), nullptr);
    EXPECT_TRUE(back->GetPrintDevice()->CompareDeviceData(names.data(), DWORD(names.size()), mode.data(), DWORD(mode.size())));
    HDC dc = back->GetPrintDevice()->GetPrintDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_GT(GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES));  // landscape
    EXPECT_EQ(back->GetPrintDevice()->GetPrintDC(), dc);                 // kept
    unlink(path.c_str());
}

TEST(GXPrintDevice, DamagedBlocksGiveNoDC)
{
    Install();
    const auto goodNames = PvMakeDevNames(Landscape()), goodMode = PvMakeDevMode(Landscape());
    struct Case {
        const char* name;
        std::vector<BYTE> names, mode;
    };
    auto withWord = [](std::vector<BYTE> b, size_t at, WORD w) {
        std::memcpy(b.data() + at, &w, sizeof(w));
        return b;
    };
    std::vector<BYTE> unterminated = goodNames;
    unterminated.pop_back();
    const Case cases[] = {
        {"output offset past the block", withWord(goodNames, offsetof(DEVNAMES, wOutputOffset), 0x4000), goodMode},
        {"device offset inside the header", withWord(goodNames, offsetof(DEVNAMES, wDeviceOffset), 2), goodMode},
        {"last name without terminator", unterminated, goodMode},
        {"names shorter than their header", std::vector<BYTE>(goodNames.begin(), goodNames.begin() + 5), goodMode},
        {"mode claiming more than its block", goodNames, withWord(goodMode, offsetof(DEVMODE, dmSize), 400)},
        {"mode with driver bytes beyond its block", goodNames, withWord(goodMode, offsetof(DEVMODE, dmDriverExtra), 10)},
        {"mode too short", goodNames, std::vector<BYTE>(goodMode.begin(), goodMode.begin() + 40)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGXPrintDevice pd;
        SetBlocks(pd, c.names, c.mode);
        EXPECT_EQ(pd.GetPrintDC(), nullptr);
    }
    CGXPrintDevice good;
    SetBlocks(good, goodNames, goodMode);
    EXPECT_NE(good.GetPrintDC(), nullptr);
}

} // namespace
