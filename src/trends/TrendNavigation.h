#pragma once
// What the trend window's page and group buttons and its "Перехід" dialog do to the trend
// state. Each one chooses the page and group and raises the download request
// (Graf_PageCount = 1); the polling cycle starts the download at the end of its cycle.
#include "app/Station.h"
#include "app/Pages.h"
#include <QString>

namespace trendnav {

constexpr std::int16_t CurrentPage = archive::CurrentPage;
constexpr std::int16_t LastArchivePage = archive::TrendPages - 1;

void requestDownload(Station &s);          // Graf_PageCount = 1
void Command_Tekus(Station &s);            // "Поточна"
void Grafik_INC(Station &s);               // "Сторінка +1"
void Grafik_DEC(Station &s);               // "Сторінка -1"
void Image2(Station &s);                   // "Група -1"
void Image3(Station &s);                   // "Група +1"
// "Ok" of the "Перехід" dialog with its group and page fields as typed: false (and nothing
// changed) when the group is not 1..8.
bool GO(Station &s, const QString &groupText, const QString &pageText);

} // namespace trendnav
