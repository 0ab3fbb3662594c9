#pragma once
// The journal file (*.jur): Windows-1251 text, CR LF, one value a line. Line 1 the page number
// (1..32), line 2 the title, then 330 byte values: line 3 + i holds `Jurnal_Buf` position
// `Jurnal_Order`[i] (i = 0..329), a fixed scramble of the positions 0..329 shared by saving and
// loading.
#include "journal/JournalPage.h"
#include <QString>
#include <array>
#include <optional>

namespace journal {

constexpr int StoredBytes = 330;   // positions 0..329 (330 is not stored)

// The scramble table, made on first use and never changed.
const std::array<int, StoredBytes> &Jurnal_Order();

// Writes the page through a temporary file: false (the previous file intact) on any error.
bool saveJur(const QString &path, int page, const Buffer &buf, QString *error = nullptr);

struct JurContent {
    int page = 0;   // 0..31
    Buffer buf{};   // positions 0..329 from the file, 330 zero
};
// The whole file or nothing: a missing or unreadable file, a page outside 1..32, fewer than
// 330 byte lines or a line that is not a byte 0..255 give nullopt and a reason.
std::optional<JurContent> loadJur(const QString &path, QString *error = nullptr);

}   // namespace journal
