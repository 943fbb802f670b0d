// A save that fails midway must leave the last good file exactly as it was and the
// document still marked modified.

#include "model/ModelTestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <grp.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace KivTest;

namespace {

class SaveSafetyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("doc.kiv"));
    }

    // Saves a small good file, then grows the document well past `bytes`.
    void PrepareGoodFileAndBigDocument(size_t bytes)
    {
        ASSERT_TRUE(m_doc.AddBookmarkAtPath("http://good", "Good", "Folder", false));
        ASSERT_TRUE(m_doc.DoSave(m_path));
        m_good = ReadFile(m_path);
        ASSERT_EQ(m_good.size(), 57);
        const std::string comment(4096, 'c');
        for (size_t k = 0; k * comment.size() < bytes * 2; ++k)
            ASSERT_TRUE(m_doc.AddBookmark(("http://big/" + std::to_string(k)).c_str(), "Big",
                                          comment.c_str(), nullptr, false));
        ASSERT_TRUE(m_doc.IsModified());
        m_doc.SetErrorSink([this](const CFileError& e) { m_errors.push_back(e); });
    }

    void ExpectOldFileIntact(const QString& dir)
    {
        EXPECT_EQ(ReadFile(m_path), m_good);
        EXPECT_TRUE(m_doc.IsModified());
        ASSERT_EQ(m_errors.size(), 1u);
        EXPECT_NE(m_errors[0].cause, CFileError::none);
        EXPECT_FALSE(m_errors[0].loading);
        // No temporary file is left behind.
        EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"doc.kiv"});
    }

    QTemporaryDir m_dir;
    QString m_path;
    CKivDoc m_doc;
    QByteArray m_good;
    std::vector<CFileError> m_errors;
};

// A file size limit makes the write fail partway, for any user, on any file system.
TEST_F(SaveSafetyTest, WriteErrorMidwayKeepsTheOldFile)
{
    PrepareGoodFileAndBigDocument(256 * 1024);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 128 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = m_doc.DoSave(m_path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    ExpectOldFileIntact(m_dir.path());
    // Once the trouble is gone, the same save goes through.
    EXPECT_TRUE(m_doc.DoSave(m_path));
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_GT(ReadFile(m_path).size(), 256 * 1024);
}

// A real full device: a small tmpfs (needs the right to mount; skipped otherwise).
TEST_F(SaveSafetyTest, FullDiskKeepsTheOldFileAndSaysTheDiskIsFull)
{
    const QString mountPoint = m_dir.filePath(QStringLiteral("small"));
    ASSERT_TRUE(QDir().mkpath(mountPoint));
    const QByteArray mp = mountPoint.toLocal8Bit();
    if (mount("tmpfs", mp.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << strerror(errno);
    struct Unmount
    {
        QByteArray at;
        ~Unmount() { umount2(at.constData(), MNT_DETACH); }
    } unmount{mp};

    m_path = mountPoint + QStringLiteral("/doc.kiv");
    PrepareGoodFileAndBigDocument(64 * 1024);
    EXPECT_FALSE(m_doc.DoSave(m_path));
    ExpectOldFileIntact(mountPoint);
    EXPECT_EQ(m_errors[0].cause, CFileError::diskFull);
}

// Where no temporary file can be made beside the document (a folder the user may not
// write to), the writable document is rewritten in place, but only once room for all
// of it is reserved: a file size limit then fails the save before any old byte goes.
// The save runs in a child process, as an ordinary user.
TEST_F(SaveSafetyTest, ReadOnlyFolderRewritesInPlaceOnlyWithRoomReserved)
{
    const QString folder = m_dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    m_path = folder + QStringLiteral("/doc.kiv");
    PrepareGoodFileAndBigDocument(256 * 1024);
    const QByteArray dir = QFile::encodeName(m_dir.path()), locked = QFile::encodeName(folder);
    const bool root = geteuid() == 0;
    ASSERT_EQ(chmod(dir.constData(), 0755), 0);
    if (root)
        ASSERT_EQ(chown(QFile::encodeName(m_path).constData(), 65534, 65534), 0);
    else
        ASSERT_EQ(chmod(locked.constData(), 0555), 0);
    struct Unlock
    {
        QByteArray at;
        ~Unlock() { chmod(at.constData(), 0755); }
    } unlock{locked};

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (root && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(10);
        if (access(locked.constData(), W_OK) == 0)
            _exit(11); // the folder must really be closed to this user
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limited = old;
        limited.rlim_cur = 128 * 1024;
        setrlimit(RLIMIT_FSIZE, &limited);
        if (m_doc.DoSave(m_path))
            _exit(12);
        if (m_errors.size() != 1 || m_errors[0].cause != CFileError::diskFull)
            _exit(13);
        if (ReadFile(m_path) != m_good)
            _exit(14);
        setrlimit(RLIMIT_FSIZE, &old);
        _exit(m_doc.DoSave(m_path) ? 0 : 15);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10 privileges, 11 writable folder, 12 saved, "
                                         "13 wrong error, 14 old file touched, 15 no save";
    // With the limit gone the child rewrote the file in place, leaving nothing beside it.
    EXPECT_GT(ReadFile(m_path).size(), 256 * 1024);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"doc.kiv"});
}

TEST_F(SaveSafetyTest, UnwritableTargetFailsAtOnceAndKeepsThePath)
{
    PrepareGoodFileAndBigDocument(1);
    const QString before = m_doc.GetPathName();
    EXPECT_FALSE(m_doc.DoSave(m_dir.filePath(QStringLiteral("no/such/folder/doc.kiv"))));
    EXPECT_FALSE(m_doc.DoSave(m_dir.path())); // a folder, not a file
    EXPECT_FALSE(m_doc.DoSave(QString()));
    EXPECT_EQ(m_doc.GetPathName(), before);
    EXPECT_TRUE(m_doc.IsModified());
    ASSERT_EQ(m_errors.size(), 3u);
    EXPECT_EQ(m_errors[1].cause, CFileError::accessDenied);
    EXPECT_EQ(m_errors[2].cause, CFileError::invalidPath);
    EXPECT_EQ(ReadFile(m_path), m_good);
}

}  // namespace
