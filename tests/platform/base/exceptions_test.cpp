#include "platform/base/exceptions.h"

#include <gtest/gtest.h>

TEST(Exceptions, ThrownByValueCaughtByBase)
{
    try {
        AfxThrowArchiveException(CArchiveException::badSchema);
    } catch (CException& e) {
        auto* ae = dynamic_cast<CArchiveException*>(&e);
        ASSERT_NE(ae, nullptr);
        EXPECT_EQ(ae->m_cause, 7);
    }
    try {
        AfxThrowFileException(CFileException::fileNotFound, 2, "C:\\data\\x.mdb");
    } catch (CFileException& e) {
        EXPECT_EQ(e.m_cause, 2);
        EXPECT_EQ(e.m_lOsError, 2);
        EXPECT_EQ(e.m_strFileName, "C:\\data\\x.mdb");
    }
    EXPECT_THROW(AfxThrowNotSupportedException(), CNotSupportedException);
    EXPECT_THROW(AfxThrowResourceException(), CResourceException);
    EXPECT_THROW(AfxThrowMemoryException(), CMemoryException);
    EXPECT_THROW(AfxThrowUserException(), CUserException);
}

TEST(Exceptions, CauseNumbersAreTheFrameworks)
{
    EXPECT_EQ(CArchiveException::endOfFile, 3);
    EXPECT_EQ(CArchiveException::badIndex, 5);
    EXPECT_EQ(CArchiveException::badClass, 6);
    EXPECT_EQ(CFileException::accessDenied, 5);
    EXPECT_EQ(CFileException::sharingViolation, 11);
    EXPECT_EQ(CFileException::endOfFile, 14);
}

TEST(Exceptions, GetErrorMessageTruncates)
{
    CFileException e(CFileException::fileNotFound);
    char buf[8];
    ASSERT_TRUE(e.GetErrorMessage(buf, sizeof buf));
    EXPECT_EQ(std::string(buf), "The fil");
    char tiny[1] = {'x'};
    EXPECT_TRUE(e.GetErrorMessage(tiny, 1));
    EXPECT_EQ(tiny[0], '\0');
    char none[4] = "abc";
    EXPECT_FALSE(CUserException().GetErrorMessage(none, sizeof none));
    EXPECT_EQ(none[0], '\0');
}

TEST(Exceptions, ThrownByPointerIsDeletedByHandler)
{
    try {
        throw new CNotSupportedException();
    } catch (CException* e) {
        e->Delete();  // the sanitizer build catches a leak here
    }
}
