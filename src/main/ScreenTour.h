#pragma once
// `tablo --demo --shot-dir DIR`: once the demo has run for a while, saves a picture of the main
// window for every page (demo-page1.png .. demo-page8.png, switched by the tab strip), of the
// block schema (demo-schema.png) and of the block inspector on a live block
// (demo-inspector.png), of the trend window with a downloaded page (trends.png), of the settings,
// report, journal and about windows (settings.png, report.png, journal.png, about.png), then
// closes the program. For the documentation; not an operator tool.
#include <QDir>
#include <QObject>
#include <functional>
#include <vector>

class OperatorStation;

class ScreenTour : public QObject {
    Q_OBJECT
public:
    static constexpr int SettleMs = 4000;   // before the first picture: link up, values in
    static constexpr int PageMs = 1600;     // per page: a few serial polling cycles
    static constexpr int InspectedBlock = 20;
    static constexpr int TrendMs = 12000;   // a trend page over the serial link, with margin

    ScreenTour(OperatorStation &station, const QDir &dir);

    void start();
    bool ok() const { return ok_; }

private:
    void then(int ms, std::function<void()> step);
    void next();
    void save(QWidget *widget, const QString &name);

    OperatorStation &station_;
    QDir dir_;
    std::vector<std::pair<int, std::function<void()>>> steps_;
    std::size_t at_ = 0;
    bool ok_ = true;
};
