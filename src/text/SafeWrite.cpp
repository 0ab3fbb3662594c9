#include "text/SafeWrite.h"

#include <QDir>
#include <QSaveFile>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace text {

SafeFile::SafeFile(const QString &path) : path_(path) {}

SafeFile::~SafeFile()
{
    if (file_ && file_->isOpen())
        file_->cancelWriting();
}

bool SafeFile::fail(const QString &why)
{
    if (!failed_)
        error_ = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path_), why);
    failed_ = true;
    if (file_ && file_->isOpen()) {
        // Cancelled, the commit only removes the temporary file.
        file_->cancelWriting();
        file_->commit();
    }
    return false;
}

bool SafeFile::open()
{
    file_ = std::make_unique<QSaveFile>(path_);
    failed_ = false;
    error_.clear();
    // Unbuffered: each write reaches the file system at once, so its result is the real one.
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file_->errorString());
    return true;
}

bool SafeFile::write(const QByteArray &bytes)
{
    if (!file_ || !file_->isOpen())
        return failed_ ? false : fail(QStringLiteral("файл не відкрито"));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 n = file_->write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return fail(file_->errorString());
        done += n;
    }
    return true;
}

bool SafeFile::commit()
{
    if (!file_ || !file_->isOpen())
        return failed_ ? false : fail(QStringLiteral("файл не відкрито"));
    if (!file_->flush())
        return fail(file_->errorString());
#if defined(Q_OS_UNIX)
    // The rename must not land before the data: a delayed write error shows here.
    if (::fsync(file_->handle()) != 0 && errno != EINVAL && errno != EROFS)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    if (file_->error() != QFileDevice::NoError)
        return fail(file_->errorString());
    if (!file_->commit()) {
        const QString why = file_->errorString();
        file_.reset();
        return fail(why);
    }
    file_.reset();
    return true;
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    SafeFile f(path);
    const bool ok = f.open() && f.write(bytes) && f.commit();
    if (!ok && error)
        *error = f.errorString();
    return ok;
}

}   // namespace text
