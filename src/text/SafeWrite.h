#pragma once
// Whole-file writes that never destroy an earlier file: the bytes go to a temporary file in the
// target's own folder (so on the target's file system), every write, the flush, the sync to
// disk and the close are checked, and only then is the temporary file renamed over the target.
// On any failure the temporary file is removed and the target is left as it was.
#include <QByteArray>
#include <QString>
#include <memory>

class QSaveFile;

namespace text {

class SafeFile {
public:
    explicit SafeFile(const QString &path);
    ~SafeFile();   // without commit(), the target stays as it was
    SafeFile(const SafeFile &) = delete;
    SafeFile &operator=(const SafeFile &) = delete;

    bool open();                           // creates the temporary file beside the target
    bool write(const QByteArray &bytes);   // false on a short or failed write
    // Flush, sync, close and rename; false when any of it or an earlier write failed.
    bool commit();
    const QString &errorString() const { return error_; }

private:
    bool fail(const QString &why);

    QString path_;
    std::unique_ptr<QSaveFile> file_;
    QString error_;
    bool failed_ = false;
};

// The whole of `bytes` as the file `path`, as SafeFile writes it. False (and why, when
// `error` is given) when the file could not be written; the earlier file is then intact.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

}   // namespace text
