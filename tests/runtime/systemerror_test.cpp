#include "vlscom/systemerror.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace vlscom;

TEST(SystemError, ErrnoBecomesAWin32FacilityStatusWithTheSystemText)
{
    EXPECT_EQ(hresultFromErrno(ENOENT), makeHresult(0x80070002));
    EXPECT_EQ(hresultFromErrno(0), E_FAIL);
    EXPECT_EQ(systemErrorText(ENOENT), "No such file or directory");
    EXPECT_EQ(formatSystemError("Internal error #3. Cannot create file. System error message: %s.", EACCES),
        "Internal error #3. Cannot create file. System error message: Permission denied.");
    EXPECT_EQ(formatSystemError("no placeholder", EACCES), "no placeholder");
    EXPECT_EQ(describeHresult(hresultFromErrno(ENOENT)), "0x80070002 (No such file or directory)");
    EXPECT_EQ(describeHresult(REGDB_E_CLASSNOTREG), "0x80040154 (class not registered)");
    EXPECT_EQ(describeHresult(makeHresult(0x80041234)), "0x80041234");
}
