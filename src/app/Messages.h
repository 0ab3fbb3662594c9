#pragma once
// The texts of the operator's message boxes, each written once. Texts with %1.. are filled in
// with QString::arg by the caller.
#include <QString>

namespace msg {

inline const QString ErrorTitle = QStringLiteral("Помилка");

// Archive downloads and the link
inline const QString TransferFailed = QStringLiteral("Помилка передачі!!!");
inline const QString PortFailed = QStringLiteral("Помилка СОМ порту !!!");
inline const QString ChecksumFailed = QStringLiteral("Помилка контрольної суми!!!");

// Files and printing
inline const QString FileLocked = QStringLiteral("Файл заблоковано!!!");
inline const QString JournalFileUnread = QStringLiteral("Файл журналу не прочитано:\n%1\n%2");
inline const QString TrendFileUnopened = QStringLiteral("Файл графіка не відкривається:\n%1");
inline const QString FileSaved = QStringLiteral("Файл збережено: %1");
inline const QString SheetSavedNoViewer =
    QStringLiteral("Таблицю збережено у файлі\n%1\nале програми для її перегляду не знайдено.");
inline const QString ReportSaved = QStringLiteral("Звіт збережено у файлі %1");
inline const QString PrintFailed = QStringLiteral("Друк не вдався.");

// Trend window
inline const QString BadGroupNumber = QStringLiteral("Невірний номер групи!!!");

// Set-point entry
inline const QString ParameterError = QStringLiteral("Помилка параметра");

// Project load and netlist import
inline const QString NetlistUnopened = QStringLiteral("Не вдалося відкрити файл схеми!!!\n%1");
inline const QString ProjectUnopened = QStringLiteral("Не вдалося відкрити файл проекту!!!\n%1");
inline const QString ProjectReadError = QStringLiteral("Помилка читання файлу проекту!!!\n%1\nРядок %2: %3");
inline const QString NetlistParameterError = QStringLiteral("Ошибка параметра!!!Блок U");   // + block number
inline const QString NetlistError = QStringLiteral("Ошибка netLIST ");

}   // namespace msg
