#pragma once
// Number reading and writing the way the project, trend, report and journal files need it.
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace text {

// Val: the longest leading decimal number of the text (leading blanks skipped, optional sign,
// digits, one '.', digits, optional exponent E/e with sign and digits); the rest of the line is
// ignored. No number (or an empty line) gives 0.
double val(QStringView s);

// Whole-line conversions: the entire text (blanks around it allowed) must be a number; a
// fractional value is taken to the nearest integer (halves to even); text that is not a number
// or a result out of range gives nullopt.
std::optional<std::int16_t> toInt16(QStringView s);
std::optional<std::int32_t> toInt32(QStringView s);
std::optional<std::uint8_t> toByte(QStringView s);

// The numeric output form of the files: a blank (or '-') before the digits and a blank after,
// e.g. " 12 ", "-3 ". Reals use the shortest text that reads back as the same float32
// ("0.1" stays 0.1, not 0.100000001).
QString formatNumber(std::int64_t v);
QString formatNumber(float v);

// Format_Byte: decimal text, "0" prepended below 10 ("07", "12", "123").
QString formatByte(int v);

}   // namespace text
