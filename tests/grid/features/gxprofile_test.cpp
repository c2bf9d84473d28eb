// Grid profile storage in both stores: the registry (an application with a registry key) and
// the INI file (one without).

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "grid/core/gxfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxprop.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/features/gxprofile.h"
#include "platform/ui/winapp.h"

namespace {

class GridProfileTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        GXRegisterLibraryStrings();
        GXInstallProfileImp();
        std::string tmpl = (std::filesystem::temp_directory_path() / "pvprofile-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        m_dir = tmpl;
        setenv("PV_REGISTRY_DIR", (m_dir + "/registry").c_str(), 1);
        m_ini = m_dir + "/grid.ini";
        m_app = std::make_unique<CWinApp>("GridProfile");
        m_app->m_pszProfileName = m_ini.c_str();
        if (GetParam())
            m_app->SetRegistryKey("Paravel Tests");
    }
    void TearDown() override
    {
        m_app.reset();
        unsetenv("PV_REGISTRY_DIR");
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    CString Raw(LPCTSTR section, LPCTSTR entry) { return m_app->GetProfileString(section, entry, "<none>"); }

    std::string m_dir, m_ini;
    std::unique_ptr<CWinApp> m_app;
};

TEST_P(GridProfileTest, StyleKeysWrittenDeletedAndReadBack)
{
    CGXStyle s;
    s.SetHorizontalAlignment(2).SetValue("v").SetInteriorColor(RGB(1, 2, 3)).SetChoiceList("a\nb");
    s.SetBorders(gxBorderLeft, CGXPackedPen(0, 1, RGB(255, 0, 0)));
    s.WriteProfileEx("S", nullptr);
    EXPECT_EQ(Raw("S", "HorizontalAlignment"), "2");
    EXPECT_EQ(Raw("S", "ChoicesList"), "a\\nb");
    EXPECT_EQ(Raw("S", "Borders"), "1");
    EXPECT_EQ(Raw("S", "Top"), "<none>");
    EXPECT_EQ(CString(Raw("S", "Interior")).Left(2), "1 ");  // fill kind 1: solid
    CGXStyle back;
    ASSERT_TRUE(back.ReadProfile("S", nullptr));
    EXPECT_EQ(back.GetHorizontalAlignment(), 2u);
    EXPECT_EQ(back.GetValue(), "v");
    EXPECT_EQ(back.GetChoiceList(), "a\r\nb");
    EXPECT_EQ(back.GetInterior().GetStyle(), UINT(GX_BS_SOLID));
    EXPECT_TRUE(back.GetBorders(gxBorderLeft).GetInclude());
    EXPECT_FALSE(back.GetBorders(gxBorderTop).GetInclude());
    // A style that includes nothing deletes every key.
    CGXStyle().WriteProfileEx("S", nullptr);
    for (const char* key : {"HorizontalAlignment", "Value", "Interior", "ChoicesList", "Borders", "Left"})
        EXPECT_EQ(Raw("S", key), "<none>") << key;
}

// The INI file shows the order in which the keys are written.
TEST_P(GridProfileTest, StyleKeysInStoredOrder)
{
    if (GetParam())
        GTEST_SKIP() << "the registry keeps no order";
    CGXStylesMap map;
    map.CreateStandardStyles();
    CGXStyle s;
    s.SetBorders(gxBorderRight, CGXPackedPen(0, 1, RGB(0, 0, 0))).SetFont(CGXFont().SetSize(9));
    s.SetChoiceList("x").SetPlaces(2).SetFormat(1).SetInteriorColor(RGB(9, 9, 9)).SetValue("v");
    s.SetWrapText(TRUE).SetTextColor(RGB(1, 2, 3)).SetBaseStyle(map.m_wStyleStandard).SetVerticalAlignment(4);
    s.SetHorizontalAlignment(1);
    s.WriteProfileEx("Order", &map);
    std::ifstream in(m_ini);
    std::vector<std::string> keys;
    for (std::string line; std::getline(in, line);)
        if (const size_t eq = line.find('='); eq != std::string::npos)
            keys.push_back(line.substr(0, eq));
    const std::vector<std::string> expected = {"HorizontalAlignment", "VerticalAlignment", "BaseStyle", "TextColor", "WrapText",
        "Value", "Interior", "Format", "Places", "ChoicesList", "Font", "Borders", "Right"};
    EXPECT_EQ(keys, expected);
    char buf[32] = "";
    std::snprintf(buf, sizeof buf, "#%u", 52768u);
    EXPECT_EQ(Raw("Order", "BaseStyle"), buf);
    EXPECT_EQ(Raw("Order", "TextColor"), "1 2 3");
}

TEST_P(GridProfileTest, EveryTextReadsBackEqual)
{
    const char* texts[] = {"plain text", "a\nb", "  padded  ", "\"quoted\"", "'single'", "\\lead", "tab\tinside", "100%", ""};
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        CGXStyle s;
        s.SetValue(t);
        s.WriteProfileEx("T", nullptr);
        CGXStyle back;
        back.ReadProfile("T", nullptr);
        EXPECT_EQ(back.GetValue(), t);
    }
    // Plain texts keep their form.
    CGXStyle().SetValue("plain text").WriteProfileEx("T", nullptr);
    EXPECT_EQ(Raw("T", "Value"), "plain text");
    // A value the INI file could not give back whole is not left stale.
    CGXStyle().SetValue("old").WriteProfileEx("T", nullptr);
    CGXStyle().SetValue(CString('x', 5000)).WriteProfileEx("T", nullptr);
    CGXStyle back;
    back.ReadProfile("T", nullptr);
    EXPECT_NE(back.GetValue(), "old");
}

TEST_P(GridProfileTest, StylesMapWithAwkwardNames)
{
    CGXStylesMap map;
    map.CreateStandardStyles();
    const char* names[] = {"a=b", "a\\b", "dot.ted", "brack]et"};
    for (const char* n : names)
        map.RegisterStyleByName(n, CGXStyle().SetValue(n));
    map.WriteProfile();
    CGXStylesMap back;
    back.CreateStandardStyles();
    ASSERT_TRUE(back.ReadProfile());
    for (const char* n : names) {
        SCOPED_TRACE(n);
        const WORD id = back.LookupStyleIdByName(n);
        ASSERT_NE(id, GX_INVALID_STYLEID);
        const CGXStyle* s = nullptr;
        ASSERT_TRUE(back.LookupStyleEntry(id, s));
        EXPECT_EQ(s->GetValue(), n);
    }
    if (!GetParam()) {
        EXPECT_EQ(Raw("Styles", "dot.ted"), "1");
    }
}

TEST_P(GridProfileTest, PropertiesAndMargins)
{
    CGXProperties p;
    p.m_bMarkRowHeader = FALSE;
    p.m_nMargins[0] = 1;
    p.m_nMargins[3] = 4;
    p.WriteProfile();
    EXPECT_EQ(Raw("Grid", "MarkRowHeader"), "0");
    m_app->WriteProfileString("Grid", "Margins", "10, 20");
    CGXProperties back;
    ASSERT_TRUE(back.ReadProfile());
    EXPECT_FALSE(back.m_bMarkRowHeader);
    EXPECT_EQ(back.m_nMargins[0], 10);
    EXPECT_EQ(back.m_nMargins[1], 20);
    EXPECT_EQ(back.m_nMargins[3], CGXProperties().m_nMargins[3]);
    CGXProperties none;
    none.m_sSection = "Nothing";
    EXPECT_FALSE(none.ReadProfile());
}

TEST_P(GridProfileTest, BaseStyleReferencesAndUserAttributes)
{
    const WORD kUa = GX_IDS_UA_TOOLTIPTEXT;
    CGXStylesMap map;
    map.CreateStandardStyles();
    map.AddUserAttribute(kUa);
    const WORD hashName = map.RegisterStyleByName("#7", CGXStyle().SetValue("h"));
    map.RegisterStyleByName("child", CGXStyle().SetBaseStyle(hashName).SetUserAttribute(kUa, "ua"));
    map.WriteProfile();
    // The standard style keeps its resource id as its key.
    const CString standardKey = CString("Styles") + (GetParam() ? "\\#" : ".#");
    CString id;
    id.Format("%u", 52768u);
    EXPECT_NE(Raw(standardKey + id, "Font"), "<none>");

    CGXStylesMap back;
    back.CreateStandardStyles();
    back.AddUserAttribute(kUa);
    ASSERT_TRUE(back.ReadProfile());
    const CGXStyle* child = nullptr;
    ASSERT_TRUE(back.LookupStyleEntry(back.LookupStyleIdByName("child"), child));
    EXPECT_EQ(child->GetBaseStyle(), back.LookupStyleIdByName("#7"));
    EXPECT_EQ(child->GetUserAttribute(kUa).GetValueText(), "ua");

    // Rewritten without the attribute, the style keeps none of its old keys.
    map.RegisterStyleByName("child", CGXStyle().SetValue("plain"));
    map.WriteProfile();
    CGXStylesMap again;
    again.CreateStandardStyles();
    again.AddUserAttribute(kUa);
    ASSERT_TRUE(again.ReadProfile());
    ASSERT_TRUE(again.LookupStyleEntry(again.LookupStyleIdByName("child"), child));
    EXPECT_FALSE(child->HasUserAttribute(kUa));
    EXPECT_EQ(child->GetValue(), "plain");
}

// More names than the first buffer for a section's key list holds.
TEST_P(GridProfileTest, ManyStylesAllReadBack)
{
    CGXStylesMap map;
    map.CreateStandardStyles();
    for (int i = 0; i < 40; i++) {
        CString name;
        name.Format("A rather long style name %03d", i);
        map.RegisterStyleByName(name, CGXStyle().SetValue(name));
    }
    map.WriteProfile();
    CGXStylesMap back;
    ASSERT_TRUE(back.ReadProfile());
    for (int i = 0; i < 40; i++) {
        CString name;
        name.Format("A rather long style name %03d", i);
        const CGXStyle* s = nullptr;
        ASSERT_TRUE(back.LookupStyleEntry(back.LookupStyleIdByName(name), s)) << i;
        EXPECT_EQ(s->GetValue(), name);
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, GridProfileTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "Registry" : "Ini"; });

} // namespace
