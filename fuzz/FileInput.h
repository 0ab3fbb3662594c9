#pragma once
// For readers that take only a path: each input is written to one file in a folder in memory
// (/dev/shm when there is one), replaced input by input.
#include "FuzzRig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

namespace fuzz {

class FileInput {
public:
    explicit FileInput(const QString &name)
        : dir_(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/tablo-fuzz-XXXXXX")
                                                         : QDir::tempPath() + QStringLiteral("/tablo-fuzz-XXXXXX")),
          path_(dir_.filePath(name))
    {
        FUZZ_CHECK(dir_.isValid());
    }
    const QString &write(const std::uint8_t *data, std::size_t size)
    {
        QFile f(path_);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(f.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
        return path_;
    }

private:
    QTemporaryDir dir_;
    QString path_;
};

}   // namespace fuzz
