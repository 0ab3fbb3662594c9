#pragma once
// Reads an .xlsx workbook back for a test with an independent reader (openpyxl, through
// tests/support/xlsx_dump.py) and returns what it found as JSON: cells with their values and
// formats, merged ranges, column widths, row heights and the page set-up.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdlib>

// Empty object and `error` set when the reader fails.
inline QJsonObject dumpXlsx(const QString &path, QString *error = nullptr)
{
    const char *source = std::getenv("TABLO_SOURCE_DIR");
    const QString script =
        QString::fromLocal8Bit(source ? source : ".") + QStringLiteral("/tests/support/xlsx_dump.py");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {script, path});
    const bool finished = python.waitForFinished(60000);
    if (!finished)
        python.kill();
    const QByteArray out = python.readAllStandardOutput();
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(out, &parse);
    if (!finished || python.exitCode() != 0 || !doc.isObject()) {
        if (error)
            *error = QString::fromUtf8(python.readAllStandardError()) + parse.errorString();
        return {};
    }
    return doc.object();
}
