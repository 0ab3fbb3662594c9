#pragma once
// The history window "Історія": the controller's stored history read from its own store,
// opened read-only (the collector may be writing meanwhile; a reader never waits for it).
// Three tabs: "Графіки" (a trend group over any time range, stitched across pages, with
// zoom, pan, jumps, the cursor readout and exports), "Журнал" (every stored record, filtered
// by time and event, searched by name) and "Дії оператора" (the action log by time and kind).
// The logic is HistoryChart's and HistoryView's; the window forwards clicks to them.
#include "app/Notices.h"
#include "history/HistoryChart.h"
#include "history/HistoryStore.h"
#include "history/HistoryView.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace history {

// The chart surface: draws the chart, its width in pixels is the chart's column count.
// Wheel zooms about the mouse, a left drag chooses the range shown, a right drag pans; the
// arrow keys move by a tenth of the chart, + and - zoom about its middle.
class HistoryChartView : public QWidget {
    Q_OBJECT
public:
    explicit HistoryChartView(QWidget *parent = nullptr);
    // The chart drawn (null: an empty surface).
    void setChart(HistoryChart *chart);
    // Cursor column under the mouse, -1 for none.
    int cursorColumn() const { return cursor_; }
    // The column of a widget x, -1 off the plot.
    int columnAt(int x) const;

Q_SIGNALS:
    // The range was changed by the mouse; the chart has been refreshed.
    void rangeChanged();

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void mouseMoveEvent(QMouseEvent *) override;
    void mouseReleaseEvent(QMouseEvent *) override;
    void wheelEvent(QWheelEvent *) override;
    void keyPressEvent(QKeyEvent *) override;
    void leaveEvent(QEvent *) override;

private:
    void changed();

    HistoryChart *chart_ = nullptr;
    int cursor_ = -1;
    int dragFrom_ = -1, dragTo_ = -1;   // a left drag's columns
    int panX_ = -1;                     // the right drag's last x
};

class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    explicit HistoryWindow(QWidget *parent = nullptr);
    ~HistoryWindow() override;

    // Opens the store at `path` read-only (`controller` names the controller on a server);
    // the tabs show what it holds. False, with the reason on the status line, when there is
    // no history there yet or it cannot be read.
    bool open(const QString &path, const QString &controller = {});
    // Reads the store again (the collector may have added pages); opens it when it was absent.
    void reload();

    const HistoryStore *store() const { return store_.get(); }
    HistoryChart *chart() const { return chart_.get(); }
    QString path() const { return path_; }

    // The exports without their dialogs; a failure shows a message. The samples are those of
    // the range on show, the tables what their filters leave.
    enum class Format { Csv, Xlsx, Pdf };
    bool exportSamples(Format format, const QString &path);
    bool exportJournal(const QString &path);
    bool exportActions(const QString &path);

    // Applies the controls to the chart and the tables.
    void refreshChart();
    void refreshJournal();
    void refreshActions();

    std::vector<QMessageBox *> openMessages() const { return notices_.open(); }

    // Controls, for the tests.
    QTabWidget *tabs = nullptr;
    QLabel *status = nullptr;
    // Графіки
    QComboBox *groupBox = nullptr;
    QComboBox *spanBox = nullptr;
    std::array<QCheckBox *, 4> channelBoxes{};
    HistoryChartView *chartView = nullptr;
    QLabel *rangeLabel = nullptr;   // the range on show and its span
    QDateTimeEdit *jumpEdit = nullptr;
    QPushButton *earlierButton = nullptr, *laterButton = nullptr, *closerButton = nullptr, *widerButton = nullptr,
                *jumpButton = nullptr, *nowButton = nullptr;
    QPushButton *csvButton = nullptr, *xlsxButton = nullptr, *pdfButton = nullptr;
    // Журнал
    QCheckBox *journalRange = nullptr;
    QDateTimeEdit *journalFrom = nullptr, *journalTo = nullptr;
    QComboBox *journalEvent = nullptr;
    QLineEdit *journalSearch = nullptr;
    QTableWidget *journalTable = nullptr;
    QLabel *journalCount = nullptr;
    QPushButton *journalCsv = nullptr;
    // Дії оператора
    QCheckBox *actionsRange = nullptr;
    QDateTimeEdit *actionsFrom = nullptr, *actionsTo = nullptr;
    QComboBox *actionsKind = nullptr;
    QTableWidget *actionsTable = nullptr;
    QLabel *actionsCount = nullptr;
    QPushButton *actionsCsv = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildTrendTab();
    QWidget *buildJournalTab();
    QWidget *buildActionsTab();
    void setEnabledAll(bool on);
    void chartMoved();
    void showStatus();
    void fillEventNames();
    JournalQuery journalQuery() const;
    ActionQuery actionQuery() const;
    void askPath(const QString &title, const QString &proposed, const QString &filter,
                 std::function<void(const QString &)> done);
    void exported(bool ok, const QString &error, const QString &path);

    std::unique_ptr<HistoryStore> store_;
    std::unique_ptr<HistoryChart> chart_;
    QString path_, controller_, openError_;
    Notices notices_;
};

}   // namespace history
