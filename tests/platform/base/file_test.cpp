#include "platform/base/CFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/pv_file_test_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        m_dir = tmpl;
    }
    void TearDown() override
    {
        const std::string cmd = "rm -rf '" + m_dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string Path(const char* name) const { return m_dir + "/" + name; }

    std::string m_dir;
};

} // namespace

TEST_F(FileTest, OpenModesAndFailures)
{
    const std::string path = Path("data.bin");
    CFileException e;
    CFile f;
    EXPECT_FALSE(f.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e.m_strFileName, path.c_str());

    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &e));
    f.Write("hello world", 11);
    EXPECT_EQ(f.GetLength(), 11u);
    f.Close();
    EXPECT_FALSE(f.IsOpen());

    // modeNoTruncate keeps the content; a Windows-style path reaches the same file.
    std::string winPath = path;
    for (char& c : winPath)
        if (c == '/')
            c = '\\';
    ASSERT_TRUE(f.Open(winPath.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
    EXPECT_EQ(f.GetLength(), 11u);
    EXPECT_EQ(f.GetFileName(), "data.bin");
    f.Seek(-5, CFile::end);
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, sizeof buf), 5u);
    EXPECT_STREQ(buf, "world");
    EXPECT_EQ(f.Read(buf, sizeof buf), 0u);
    f.SetLength(5);
    EXPECT_EQ(f.GetLength(), 5u);
    f.Close();

    // modeCreate alone truncates.
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(f.GetLength(), 0u);
    f.Close();

    // A folder is not a file.
    EXPECT_FALSE(f.Open(m_dir.c_str(), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::accessDenied);
    EXPECT_FALSE(f.Open(Path("missing/x.txt").c_str(), CFile::modeCreate | CFile::modeWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_FALSE(f.Open("", CFile::modeRead, &e));

    try {
        CFile thrown(Path("nope").c_str(), CFile::modeRead);
        ADD_FAILURE();
    } catch (CFileException& ex) {
        EXPECT_EQ(ex.m_cause, CFileException::fileNotFound);
    }
    CFile closed;
    EXPECT_THROW(closed.Read(buf, 1), CFileException);
}

TEST_F(FileTest, RenameAndRemove)
{
    const std::string a = Path("a"), b = Path("b");
    {
        CFile f(a.c_str(), CFile::modeCreate | CFile::modeWrite);
    }
    CFile::Rename(a.c_str(), b.c_str());
    EXPECT_NE(access(b.c_str(), F_OK), -1);
    CFile::Remove(b.c_str());
    EXPECT_EQ(access(b.c_str(), F_OK), -1);
    EXPECT_THROW(CFile::Remove(b.c_str()), CFileException);
}

TEST_F(FileTest, StdioReadStringHandlesLineEnds)
{
    const std::string path = Path("lines.txt");
    {
        CStdioFile out(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        out.WriteString("first\r\nsecond\n\nlast");
    }
    CStdioFile in;
    ASSERT_TRUE(in.Open(path.c_str(), CFile::modeRead | CFile::typeText));
    CString line;
    const char* want[] = {"first", "second", "", "last"};
    for (const char* w : want) {
        ASSERT_TRUE(in.ReadString(line));
        EXPECT_EQ(line, w);
    }
    EXPECT_FALSE(in.ReadString(line));
    EXPECT_TRUE(line.IsEmpty());

    in.SeekToBegin();
    char buf[4];
    ASSERT_NE(in.ReadString(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "fir");
    EXPECT_EQ(in.GetLength(), 19u);
}

TEST(MemFile, GrowsOrStaysFixed)
{
    CMemFile mem(4);
    for (int i = 0; i < 100; ++i)
        mem.Write("abc", 3);
    EXPECT_EQ(mem.GetLength(), 300u);
    mem.Seek(310, CFile::begin);  // writing past the end fills the gap with zeros
    mem.Write("z", 1);
    EXPECT_EQ(mem.GetLength(), 311u);
    mem.Seek(299, CFile::begin);
    char buf[12];
    EXPECT_EQ(mem.Read(buf, sizeof buf), 12u);
    EXPECT_EQ(buf[0], 'c');
    EXPECT_EQ(buf[5], '\0');
    EXPECT_EQ(buf[11], 'z');
    EXPECT_EQ(mem.Read(buf, sizeof buf), 0u);
    EXPECT_THROW(mem.Seek(-1, CFile::begin), CFileException);

    BYTE* block = mem.Detach();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[0], 'a');
    std::free(block);
    EXPECT_EQ(mem.GetLength(), 0u);

    BYTE fixed[4] = {1, 2, 3, 4};
    CMemFile view(fixed, sizeof fixed);
    EXPECT_EQ(view.GetLength(), 4u);
    view.Seek(2, CFile::begin);
    view.Write("\x09", 1);
    EXPECT_EQ(fixed[2], 9);
    try {
        view.Write("xyz", 3);
        ADD_FAILURE();
    } catch (CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
    }
    EXPECT_FALSE(view.Open("x", CFile::modeRead));

    // A growable file over the caller's block moves out of it rather than freeing it.
    BYTE start[4] = {};
    {
        CMemFile grows(start, sizeof start, 16);
        EXPECT_EQ(grows.GetLength(), 0u);
        grows.Write("abc", 3);
        EXPECT_EQ(start[0], 'a');
        grows.Write("defghij", 7);
        EXPECT_EQ(grows.GetLength(), 10u);
        grows.SeekToBegin();
        char all[10];
        EXPECT_EQ(grows.Read(all, sizeof all), 10u);
        EXPECT_EQ(std::string(all, 10), "abcdefghij");
    }
}
