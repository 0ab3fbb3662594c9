#pragma once
// Windows-1251 text files with CR LF line ends, read and written line by line.
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <vector>

namespace text {

class SafeFile;

// Reads a whole file at once and hands it out line by line. Accepts CR LF, LF or CR ends.
class LineReader {
public:
    bool open(const QString &path);             // false when the file cannot be read
    void setContent(const QByteArray &bytes);   // decode bytes already in memory
    bool atEnd() const { return next_ >= lines_.size(); }
    // Next line into `out`; false at end of file (out is then cleared).
    bool readLine(QString &out);
    // The same without a copy: `out` views the reader's text and stays valid until the next
    // open() or setContent().
    bool readLine(QStringView &out);
    int lineNumber() const { return static_cast<int>(next_); }   // lines read so far
    const QString &errorString() const { return error_; }

private:
    struct Span {
        qsizetype start, length;
    };
    QString text_;   // the whole decoded file
    std::vector<Span> lines_;
    std::size_t next_ = 0;
    QString error_;
};

// Writes lines through a temporary file beside the target that replaces it only on commit(),
// when every write, the flush and the close succeeded, so a failed save never destroys the
// previous good file.
class LineWriter {
public:
    LineWriter();
    ~LineWriter();
    bool open(const QString &path);
    void writeLine(const QString &line);   // encodes to Windows-1251, appends CR LF
    bool commit();                         // false when anything failed; target untouched then
    const QString &errorString() const { return error_; }

private:
    std::unique_ptr<SafeFile> file_;
    QByteArray lines_;   // written out whole on commit()
    QString error_;
};

QByteArray encode1251(const QString &s);
QString decode1251(const QByteArray &b);

}   // namespace text
