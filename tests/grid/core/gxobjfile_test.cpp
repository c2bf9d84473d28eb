#include "grid/core/gxobjfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include "grid/core/gxparam.h"
#include "grid/core/gxserial.h"
#include "platform/base/CArchive.h"

// A class that counts its constructions, so a refused file can be shown to construct nothing.
class CObjFileProbe : public CObject {
    DECLARE_SERIAL(CObjFileProbe)
public:
    CObjFileProbe() { ++s_nConstructed; }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            if (m_bFailStore)
                AfxThrowArchiveException(CArchiveException::genericException);
            ar << m_value;
        } else {
            ar >> m_value;
        }
    }
    static inline int s_nConstructed = 0;
    DWORD m_value = 7;
    BOOL m_bFailStore = FALSE;
};
IMPLEMENT_SERIAL(CObjFileProbe, CObject, 1)

namespace {

std::string ReadAll(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ObjectFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GXInstallDocSerializeImp();
        m_dir = std::filesystem::temp_directory_path() /
                ("gxobjfile_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
        m_path = (m_dir / "GridSettings.dat").string();
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::filesystem::path m_dir;
    std::string m_path;
};

TEST_F(ObjectFileTest, GridParamRoundTrip)
{
    CGXGridParam param;
    param.m_nFrozenRows = 2;
    param.m_nDefaultHeight = 1500;
    param.m_sText = "Directory";
    ASSERT_TRUE(WriteObjectToFile(&param, m_path.c_str()));
    std::unique_ptr<CGXGridParam> back(ReadGridParamFromFile(m_path.c_str()));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_nFrozenRows, 2u);
    EXPECT_EQ(back->m_nDefaultHeight, 1500);
    EXPECT_EQ(back->m_sText, "Directory");
}

TEST_F(ObjectFileTest, WriteReplacesTheFileWhole)
{
    std::ofstream(m_path, std::ios::binary) << std::string(100000, 'x');
    CGXGridParam param;
    ASSERT_TRUE(WriteObjectToFile(&param, m_path.c_str()));
    const std::string bytes = ReadAll(m_path);
    EXPECT_LT(bytes.size(), 100000u);
    EXPECT_EQ(bytes.find("xxxx"), std::string::npos);
    std::unique_ptr<CGXGridParam> back(ReadGridParamFromFile(m_path.c_str()));
    EXPECT_NE(back, nullptr);
}

TEST_F(ObjectFileTest, FailedWriteKeepsTheOldFile)
{
    CGXGridParam param;
    param.m_sText = "old";
    ASSERT_TRUE(WriteObjectToFile(&param, m_path.c_str()));
    const std::string before = ReadAll(m_path);

    CObjFileProbe failing;
    failing.m_bFailStore = TRUE;
    EXPECT_FALSE(WriteObjectToFile(&failing, m_path.c_str()));
    EXPECT_EQ(ReadAll(m_path), before);
    // Nothing is left behind in the folder either.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 1);

    // A folder that does not exist cannot take the file.
    EXPECT_FALSE(WriteObjectToFile(&param, (m_dir / "missing" / "GridSettings.dat").string().c_str()));
}

TEST_F(ObjectFileTest, AnotherClassGivesNullAndConstructsNothing)
{
    CObjFileProbe probe;
    ASSERT_TRUE(WriteObjectToFile(&probe, m_path.c_str()));
    const int constructed = CObjFileProbe::s_nConstructed;
    EXPECT_EQ(ReadGridParamFromFile(m_path.c_str()), nullptr);
    EXPECT_EQ(CObjFileProbe::s_nConstructed, constructed);
    // The reader names its class; without one nothing is read at all.
    EXPECT_EQ(ReadObjectFromFile(m_path.c_str(), nullptr), nullptr);
    EXPECT_EQ(CObjFileProbe::s_nConstructed, constructed);
    std::unique_ptr<CObject> same(ReadObjectFromFile(m_path.c_str(), RUNTIME_CLASS(CObjFileProbe)));
    EXPECT_NE(same, nullptr);
}

TEST_F(ObjectFileTest, DamagedOrMissingFilesGiveNull)
{
    EXPECT_EQ(ReadGridParamFromFile((m_dir / "none.dat").string().c_str()), nullptr);
    EXPECT_EQ(ReadGridParamFromFile(m_dir.string().c_str()), nullptr);  // a folder

    CGXGridParam param;
    param.m_sText = "cut";
    ASSERT_TRUE(WriteObjectToFile(&param, m_path.c_str()));
    const std::string whole = ReadAll(m_path);
    for (size_t n : {size_t(0), size_t(1), size_t(8), whole.size() / 2, whole.size() - 1}) {
        SCOPED_TRACE(n);
        std::ofstream(m_path, std::ios::binary | std::ios::trunc) << whole.substr(0, n);
        EXPECT_EQ(ReadGridParamFromFile(m_path.c_str()), nullptr);
    }
}

}  // namespace
