#include "platform/qtinstancelock.h"
#include "tempappfolder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tmbr::gui::test {
namespace {

TEST(QtInstanceLock, SecondLockOnTheSameFileFailsUntilTheFirstIsGone)
{
    TempFolder folder;
    const QString file = QString::fromStdString(folder.path() + "tmbrsa.lock");
    {
        QtInstanceLock first(file);
        EXPECT_TRUE(first.tryLock());
        EXPECT_TRUE(first.tryLock()) << "asking again keeps the lock";
        QtInstanceLock second(file);
        EXPECT_FALSE(second.tryLock());
    }
    QtInstanceLock third(file);
    EXPECT_TRUE(third.tryLock());
}

TEST(QtInstanceLock, LockLeftByADeadProcessIsTakenOver)
{
    TempFolder folder;
    const QString file = QString::fromStdString(folder.path() + "tmbrsa.lock");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(file);
        // Dies holding the lock, as a crashed instance would.
        ::_exit(lock.tryLock(0) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(exists(file.toStdString()));
    QtInstanceLock lock(file);
    EXPECT_TRUE(lock.tryLock());
}

TEST(QtInstanceLock, DefaultFileIsInTheRuntimeFolderElseBesideTheScratchFolder)
{
    TempFolder folder;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder.path()));
    EXPECT_EQ(QtInstanceLock::defaultLockFile("/home/me/.cache/tmbrsa/temp/").toStdString(),
        folder.path() + "tmbrsa.lock");
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(QtInstanceLock::defaultLockFile("/home/me/.cache/tmbrsa/temp/"),
        "/home/me/.cache/tmbrsa/tmbrsa.lock");
    if (!saved.isNull())
        qputenv("XDG_RUNTIME_DIR", saved);
}

} // namespace
} // namespace tmbr::gui::test
