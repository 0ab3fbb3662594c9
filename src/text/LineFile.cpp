#include "text/LineFile.h"
#include "text/SafeWrite.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace text {

QByteArray encode1251(const QString &s)
{
    QStringEncoder enc("windows-1251", QStringEncoder::Flag::Stateless);
    return enc.encode(s);
}

QString decode1251(const QByteArray &b)
{
    QStringDecoder dec("windows-1251", QStringDecoder::Flag::Stateless);
    return dec.decode(b);
}

bool LineReader::open(const QString &path)
{
    lines_.clear();
    text_.clear();
    next_ = 0;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error_ = f.errorString();
        return false;
    }
    setContent(f.readAll());
    if (f.error() != QFileDevice::NoError) {
        error_ = f.errorString();
        return false;
    }
    return true;
}

void LineReader::setContent(const QByteArray &bytes)
{
    lines_.clear();
    next_ = 0;
    text_ = decode1251(bytes);
    const QChar *all = text_.constData();
    qsizetype start = 0;
    const qsizetype n = text_.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = all[i];
        if (c == u'\r' || c == u'\n') {
            lines_.push_back({start, i - start});
            if (c == u'\r' && i + 1 < n && all[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines_.push_back({start, n - start});
}

bool LineReader::readLine(QString &out)
{
    QStringView line;
    if (!readLine(line)) {
        out.clear();
        return false;
    }
    out = line.toString();
    return true;
}

bool LineReader::readLine(QStringView &out)
{
    if (next_ >= lines_.size()) {
        out = QStringView();
        return false;
    }
    const Span &s = lines_[next_++];
    out = QStringView(text_).sliced(s.start, s.length);
    return true;
}

LineWriter::LineWriter() = default;
LineWriter::~LineWriter() = default;

bool LineWriter::open(const QString &path)
{
    file_ = std::make_unique<SafeFile>(path);
    lines_.clear();
    error_.clear();
    if (!file_->open()) {
        error_ = file_->errorString();
        file_.reset();
        return false;
    }
    return true;
}

void LineWriter::writeLine(const QString &line)
{
    if (!file_)
        return;
    lines_ += encode1251(line);
    lines_.append("\r\n", 2);
}

bool LineWriter::commit()
{
    if (!file_)
        return false;
    const bool ok = file_->write(lines_) && file_->commit();
    if (!ok)
        error_ = file_->errorString();
    file_.reset();
    lines_.clear();
    return ok;
}

}   // namespace text
