#include "FileWriter.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <string>

#if defined(Q_OS_UNIX)
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace {

CFileError::Cause CauseOfErrno(int error, bool loading)
{
    switch (error) {
#if defined(Q_OS_UNIX)
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return CFileError::diskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return CFileError::accessDenied;
    case ENOENT:
        return loading ? CFileError::fileNotFound : CFileError::invalidPath;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return CFileError::invalidPath;
    case ENOMEM:
        return CFileError::outOfMemory;
#endif
    default:
        return loading ? CFileError::genericRead : CFileError::genericWrite;
    }
}

}  // namespace

#if defined(Q_OS_UNIX)

struct CFileWriter::Impl
{
    enum Kind { temporary, inPlace, created };
    Kind kind = temporary;
    int fd = -1;
    QByteArray target;    // the file that receives the content
    QByteArray temp;      // the temporary file beside it
    std::string pending;  // in place: the whole content, written once room is reserved
    bool existed = false;
    struct stat old {};

    void Close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

namespace {

bool WriteAll(int fd, const char* data, size_t n, off_t at, bool positioned, int* error)
{
    while (n > 0) {
        const ssize_t wrote = positioned ? ::pwrite(fd, data, n, at) : ::write(fd, data, n);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            *error = wrote < 0 ? errno : ENOSPC;
            return false;
        }
        data += wrote;
        n -= size_t(wrote);
        at += wrote;
    }
    return true;
}

// A temporary name beside the target; short, so that a target whose own name fills
// the file system's limit still gets one.
QByteArray TemporaryName(const QByteArray& target)
{
    const int slash = target.lastIndexOf('/');
    const QByteArray dir = slash >= 0 ? target.left(slash + 1) : QByteArray();
    return dir + ".kiv-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36)
           + ".tmp";
}

}  // namespace

bool CFileWriter::Open()
{
    // Past a file size limit a write must fail with EFBIG, not end the program.
    static const bool sizeLimitIsAnError = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    (void)sizeLimitIsAnError;

    Discard();
    m_error = {};
    if (m_path.isEmpty()) {
        Fail(CFileError::invalidPath);
        return false;
    }
    d = std::make_unique<Impl>();
    d->target = QFile::encodeName(m_path);

    if (m_mode == createNew) {
        d->kind = Impl::created;
        d->fd = ::open(d->target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                       0666);
        if (d->fd < 0) {
            FailErrno(errno);
            d.reset(); // nothing was made: nothing to remove
            return false;
        }
        return true;
    }

    struct stat st;
    if (::stat(d->target.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode) || !S_ISREG(st.st_mode)) {
            // Nor is a device or a pipe ever replaced by a file of ours.
            Fail(S_ISDIR(st.st_mode) ? CFileError::accessDenied : CFileError::notRegularFile);
            d.reset();
            return false;
        }
        d->existed = true;
        d->old = st;
        // A link to a document: the document is what gets the new content.
        const QString canonical = QFileInfo(m_path).canonicalFilePath();
        if (!canonical.isEmpty())
            d->target = QFile::encodeName(canonical);
    }

    int error = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        d->temp = TemporaryName(d->target);
        // Private until it gets the old file's permissions; a new file gets the
        // user's usual ones.
        d->fd = ::open(d->temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                       d->existed ? 0600 : 0666);
        if (d->fd >= 0)
            return true;
        error = errno;
        if (error != EEXIST)
            break;
    }
    d->temp.clear();
    if ((error == EACCES || error == EPERM || error == EROFS) && d->existed) {
        d->fd = ::open(d->target.constData(), O_WRONLY | O_CLOEXEC);
        if (d->fd >= 0) {
            d->kind = Impl::inPlace;
            return true;
        }
        error = errno;
    }
    FailErrno(error);
    d.reset();
    return false;
}

bool CFileWriter::Write(const char* data, size_t n)
{
    if (!d || d->fd < 0)
        Fail(CFileError::genericWrite);
    if (m_error)
        return false;
    if (d->kind == Impl::inPlace) {
        try {
            d->pending.append(data, n);
        } catch (const std::bad_alloc&) {
            Fail(CFileError::outOfMemory);
            return false;
        }
        return true;
    }
    int error = 0;
    if (!WriteAll(d->fd, data, n, 0, false, &error)) {
        FailErrno(error);
        return false;
    }
    return true;
}

bool CFileWriter::Commit()
{
    if (!d || d->fd < 0)
        Fail(CFileError::genericWrite);
    if (m_error) {
        Discard();
        return false;
    }
    const int fd = d->fd;
    int error = 0;
    if (d->kind == Impl::inPlace) {
        // Reserve first: only when the file can hold the larger of the two contents
        // are the old bytes overwritten.
        const off_t oldSize = d->old.st_size;
        const off_t newSize = off_t(d->pending.size());
        const off_t room = std::max(oldSize, newSize);
        if (room > 0) {
            error = ::posix_fallocate(fd, 0, room);
            if (error != 0) {
                struct stat now;
                if (::fstat(fd, &now) == 0 && now.st_size != oldSize)
                    (void)::ftruncate(fd, oldSize);
                FailErrno(error);
                Discard();
                return false;
            }
        }
        if (!WriteAll(fd, d->pending.data(), d->pending.size(), 0, true, &error)
            || ::ftruncate(fd, newSize) != 0 || ::fsync(fd) != 0) {
            FailErrno(error ? error : errno);
            Discard();
            return false;
        }
        d->pending.clear();
    } else {
        if (d->kind == Impl::temporary && d->existed) {
            (void)::fchown(fd, d->old.st_uid, d->old.st_gid); // allowed or not: no matter
            if (::fchmod(fd, d->old.st_mode & 07777) != 0) {
                FailErrno(errno);
                Discard();
                return false;
            }
        }
        if (::fsync(fd) != 0) {
            FailErrno(errno);
            Discard();
            return false;
        }
    }
    d->fd = -1;
    if (::close(fd) != 0) {
        FailErrno(errno);
        Discard();
        return false;
    }
    if (d->kind == Impl::temporary
        && ::rename(d->temp.constData(), d->target.constData()) != 0) {
        FailErrno(errno);
        Discard();
        return false;
    }
    d.reset();
    return true;
}

void CFileWriter::Discard()
{
    if (!d)
        return;
    d->Close();
    if (d->kind == Impl::temporary && !d->temp.isEmpty())
        ::unlink(d->temp.constData());
    else if (d->kind == Impl::created)
        ::unlink(d->target.constData()); // ours alone: made by this writer
    d.reset();
}

CFileError::Cause OpenRegularFile(const QString& path, QFile& file)
{
    if (path.isEmpty())
        return CFileError::invalidPath;
    const QByteArray native = QFile::encodeName(path);
    // Without O_NONBLOCK opening a FIFO waits for a writer that may never come.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return CauseOfErrno(errno, true);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        return folder ? CFileError::accessDenied : CFileError::notRegularFile;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return CFileError::genericRead;
    }
    return CFileError::none;
}

#else  // other systems: the same contract over QSaveFile

struct CFileWriter::Impl
{
    QSaveFile file;
    explicit Impl(const QString& path) : file(path) {}
};

bool CFileWriter::Open()
{
    Discard();
    m_error = {};
    const QFileInfo info(m_path);
    if (m_path.isEmpty() || (m_mode == createNew && (info.exists() || info.isSymLink()))) {
        Fail(m_path.isEmpty() ? CFileError::invalidPath : CFileError::accessDenied);
        return false;
    }
    if (info.exists() && !info.isFile()) {
        Fail(info.isDir() ? CFileError::accessDenied : CFileError::notRegularFile);
        return false;
    }
    d = std::make_unique<Impl>(m_path);
    d->file.setDirectWriteFallback(false);
    if (!d->file.open(QIODevice::WriteOnly)) {
        Fail(CFileError::accessDenied);
        d.reset();
        return false;
    }
    return true;
}

bool CFileWriter::Write(const char* data, size_t n)
{
    if (!d)
        Fail(CFileError::genericWrite);
    if (m_error)
        return false;
    if (d->file.write(data, qint64(n)) != qint64(n) || !d->file.flush()) {
        Fail(d->file.error() == QFileDevice::ResourceError ? CFileError::diskFull
                                                            : CFileError::genericWrite);
        return false;
    }
    return true;
}

bool CFileWriter::Commit()
{
    if (!d)
        Fail(CFileError::genericWrite);
    if (!m_error && !d->file.commit())
        Fail(CFileError::genericWrite);
    if (m_error) {
        Discard();
        return false;
    }
    d.reset();
    return true;
}

void CFileWriter::Discard()
{
    if (d && d->file.isOpen())
        d->file.cancelWriting();
    d.reset();
}

CFileError::Cause OpenRegularFile(const QString& path, QFile& file)
{
    const QFileInfo info(path);
    if (path.isEmpty())
        return CFileError::invalidPath;
    if (!info.exists())
        return CFileError::fileNotFound;
    if (info.isDir())
        return CFileError::accessDenied;
    if (!info.isFile())
        return CFileError::notRegularFile;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly) ? CFileError::none : CFileError::accessDenied;
}

#endif

CFileWriter::CFileWriter(const QString& path, Mode mode) : m_path(path), m_mode(mode) {}

CFileWriter::~CFileWriter() { Discard(); }

void CFileWriter::Fail(CFileError::Cause cause)
{
    if (!m_error)
        m_error = {cause, m_path, false};
}

void CFileWriter::FailErrno(int error) { Fail(CauseOfErrno(error, false)); }
