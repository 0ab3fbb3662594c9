#pragma once
// What the trend window's page and group buttons and its "Перехід" dialog do to the trend
// state. Each one chooses the page and group and raises the download request
// (Graf_PageCount = 1); the polling cycle starts the download at the end of its cycle.
#include "trends/TrendStation.h"
#include "app/Pages.h"
#include <QString>

namespace trendnav {

constexpr std::int16_t CurrentPage = archive::CurrentPage;
constexpr std::int16_t LastArchivePage = archive::TrendPages - 1;

void requestDownload(TrendStation s);   // the page and group chosen
void Command_Tekus(TrendStation s);     // "Поточна"
void Grafik_INC(TrendStation s);        // "Сторінка +1"
void Grafik_DEC(TrendStation s);        // "Сторінка -1"
void Image2(TrendStation s);            // "Група -1"
void Image3(TrendStation s);            // "Група +1"
// "Ok" of the "Перехід" dialog with its group and page fields as typed: false (and nothing
// changed) when the group is not 1..8.
bool GO(TrendStation s, const QString &groupText, const QString &pageText);

}   // namespace trendnav
