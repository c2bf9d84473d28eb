#include "platform/sys/appprofile.h"
#include "platform/sys/registry.h"

#include "sys_test_util.h"

namespace {

class AppProfileTest : public ScratchDirTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        ScratchDirTest::SetUp();
        m_profile.SetApplicationName("Paravel");
        m_profile.SetProfileFile((m_dir + "\\Paravel.ini").c_str());
        if (GetParam())
            m_profile.SetRegistryKey("Morlow Systems, Inc.");
    }
    PvAppProfile m_profile;
};

// The same calls give the same answers whichever store is behind them.
TEST_P(AppProfileTest, BothStoresBehaveAlike)
{
    PvAppProfile& p = m_profile;
    EXPECT_EQ(p.GetProfileString("Grid", "Background", "none"), "none");
    EXPECT_EQ(p.GetProfileInt("Grid", "3dHeader", 7), 7u);
    ASSERT_TRUE(p.WriteProfileString("Grid", "Background", "12632256"));
    ASSERT_TRUE(p.WriteProfileString("Grid", "UP5", "a value with = and ; inside"));
    ASSERT_TRUE(p.WriteProfileInt("Grid", "3dHeader", 1));
    ASSERT_TRUE(p.WriteProfileString("Styles.Standard", "Font", "Arial,10,400,,,,"));
    EXPECT_EQ(p.GetProfileString("GRID", "background"), "12632256");
    EXPECT_EQ(p.GetProfileString("Grid", "UP5"), "a value with = and ; inside");
    EXPECT_EQ(p.GetProfileInt("Grid", "3dHeader", 7), 1u);

    ASSERT_TRUE(p.WriteProfileString("Grid", "Background", nullptr));
    ASSERT_TRUE(p.WriteProfileString("Grid", "Never there", nullptr));
    EXPECT_EQ(p.GetProfileString("Grid", "Background", "gone"), "gone");
    EXPECT_EQ(p.GetProfileString("Grid", "UP5"), "a value with = and ; inside");

    ASSERT_TRUE(p.WriteProfileString("Grid", nullptr, nullptr));
    EXPECT_EQ(p.GetProfileString("Grid", "UP5", "gone"), "gone");
    EXPECT_EQ(p.GetProfileString("Styles.Standard", "Font"), "Arial,10,400,,,,");
    EXPECT_FALSE(p.WriteProfileString(nullptr, "x", "y"));

    if (GetParam()) {
        EXPECT_FALSE(std::filesystem::exists(m_dir + "/Paravel.ini"));
        HKEY app = p.GetAppRegistryKey();
        ASSERT_NE(app, nullptr);
        char name[64];
        ASSERT_EQ(RegEnumKey(app, 0, name, sizeof name), ERROR_SUCCESS);
        EXPECT_STREQ(name, "Styles.Standard");
        EXPECT_EQ(RegEnumKey(app, 1, name, sizeof name), ERROR_NO_MORE_ITEMS);
        RegCloseKey(app);
    } else {
        EXPECT_EQ(readFile(m_dir + "/Paravel.ini"), "[Styles.Standard]\nFont=Arial,10,400,,,,\n");
        EXPECT_EQ(p.GetAppRegistryKey(), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, AppProfileTest, ::testing::Values(true, false),
    [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Registry" : "IniFile"; });

} // namespace
