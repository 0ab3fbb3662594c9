#include "history/HistoryWindow.h"
#include "history/HistoryExport.h"
#include "history/HistoryPainter.h"
#include "history/HistoryView.h"
#include "history/PageTimes.h"
#include "history/PgStore.h"

#include "app/FileDialogs.h"
#include "app/Messages.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <limits>

namespace history {
namespace {

constexpr qint64 Hour = 3600LL * 1000;
constexpr qint64 Day = 24 * Hour;
constexpr qint64 AllFrom = std::numeric_limits<qint64>::min();
constexpr qint64 AllTo = std::numeric_limits<qint64>::max();
constexpr int MaxChannelCaption = 24;

// The date editors show the controller's clock as it was stored, without a time zone.
QDateTime wall(qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC); }

QDateTimeEdit *dateEdit(QWidget *parent)
{
    auto *e = new QDateTimeEdit(parent);
    e->setTimeSpec(Qt::UTC);
    e->setDisplayFormat(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    e->setCalendarPopup(true);
    e->setMinimumDateTime(wall(HistoryChart::EarliestMs));
    e->setMaximumDateTime(wall(HistoryChart::LatestMs - 1));
    // Room for the whole text beside the popup's arrow.
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000 00:00:00")) + 36);
    return e;
}

qint64 msOf(const QDateTimeEdit *e) { return clockMs(e->dateTime()); }

// The controller's clock now, as the station's wall clock reads it.
qint64 clockNow() { return clockMs(QDateTime::currentDateTime()); }

QTableWidget *table(const QStringList &heading, QWidget *parent)
{
    auto *t = new QTableWidget(0, int(heading.size()), parent);
    t->setHorizontalHeaderLabels(heading);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(20);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

void setCell(QTableWidget *t, int row, int col, const QString &text)
{
    t->setItem(row, col, new QTableWidgetItem(text));
}

QString countText(std::size_t n)
{
    if (n > std::size_t(MaxShownRows))
        return QStringLiteral("Записів: %1 (показано перші %2; експорт запише всі)").arg(n).arg(MaxShownRows);
    return QStringLiteral("Записів: %1").arg(n);
}

}   // namespace

// ----- the chart surface --------------------------------------------------------------------

HistoryChartView::HistoryChartView(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(480, 300);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void HistoryChartView::setChart(HistoryChart *chart)
{
    chart_ = chart;
    cursor_ = dragFrom_ = dragTo_ = panX_ = -1;
    if (chart_)
        chart_->setColumnCount(HistoryPainter::plotRect(size()).width());
    update();
}

int HistoryChartView::columnAt(int x) const
{
    const QRect plot = HistoryPainter::plotRect(size());
    if (x < plot.left() || x > plot.right())
        return -1;
    return x - plot.left();
}

void HistoryChartView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!chart_) {
        p.fillRect(rect(), Qt::white);
        return;
    }
    HistoryPainter::paint(p, size(), *chart_, dragFrom_ >= 0 ? -1 : cursor_);
    if (dragFrom_ >= 0 && dragTo_ >= 0) {
        const QRect plot = HistoryPainter::plotRect(size());
        const int a = std::min(dragFrom_, dragTo_), b = std::max(dragFrom_, dragTo_);
        p.fillRect(QRect(plot.left() + a, plot.top(), b - a + 1, plot.height()), QColor(0, 90, 200, 50));
    }
}

void HistoryChartView::resizeEvent(QResizeEvent *)
{
    if (!chart_)
        return;
    const int columns = HistoryPainter::plotRect(size()).width();
    if (columns != chart_->columnCount()) {
        chart_->setColumnCount(columns);
        changed();
    }
}

void HistoryChartView::mousePressEvent(QMouseEvent *e)
{
    const int x = int(e->position().x());
    if (e->button() == Qt::LeftButton && columnAt(x) >= 0) {
        dragFrom_ = dragTo_ = columnAt(x);
    } else if (e->button() == Qt::RightButton) {
        panX_ = x;
        setCursor(Qt::ClosedHandCursor);
    }
    update();
}

void HistoryChartView::mouseMoveEvent(QMouseEvent *e)
{
    const int x = int(e->position().x());
    const QRect plot = HistoryPainter::plotRect(size());
    cursor_ = columnAt(x);
    if (dragFrom_ >= 0)
        dragTo_ = std::clamp(x - plot.left(), 0, plot.width() - 1);
    if (panX_ >= 0 && chart_ && x != panX_) {
        chart_->panColumns(x - panX_);
        panX_ = x;
        changed();
        return;
    }
    update();
}

void HistoryChartView::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && dragFrom_ >= 0) {
        const int a = dragFrom_, b = dragTo_;
        dragFrom_ = dragTo_ = -1;
        // A click, or a drag of a pixel or two, only moves the cursor.
        if (chart_ && std::abs(b - a) >= 3) {
            chart_->zoomToColumns(a, b);
            changed();
            return;
        }
    } else if (e->button() == Qt::RightButton) {
        panX_ = -1;
        setCursor(Qt::CrossCursor);
    }
    update();
}

void HistoryChartView::wheelEvent(QWheelEvent *e)
{
    const int column = columnAt(int(e->position().x()));
    if (!chart_ || column < 0 || e->angleDelta().y() == 0)
        return;
    chart_->wheel(e->angleDelta().y(), column);
    changed();
}

void HistoryChartView::keyPressEvent(QKeyEvent *e)
{
    if (!chart_) {
        QWidget::keyPressEvent(e);
        return;
    }
    const int tenth = std::max(1, chart_->columnCount() / 10), middle = chart_->columnCount() / 2;
    switch (e->key()) {
    case Qt::Key_Left: chart_->panColumns(tenth); break;
    case Qt::Key_Right: chart_->panColumns(-tenth); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: chart_->wheel(120, middle); break;
    case Qt::Key_Minus: chart_->wheel(-120, middle); break;
    default: QWidget::keyPressEvent(e); return;
    }
    changed();
}

void HistoryChartView::leaveEvent(QEvent *)
{
    cursor_ = -1;
    update();
}

void HistoryChartView::changed()
{
    Q_EMIT rangeChanged();
    update();
}

// ----- the window ---------------------------------------------------------------------------

HistoryWindow::HistoryWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(QStringLiteral("Історія"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    tabs = new QTabWidget(this);
    tabs->addTab(buildTrendTab(), QStringLiteral("Графіки"));
    tabs->addTab(buildJournalTab(), QStringLiteral("Журнал"));
    tabs->addTab(buildActionsTab(), QStringLiteral("Дії оператора"));
    layout->addWidget(tabs, 1);
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("status"));
    status->setWordWrap(true);
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(status);
    resize(1000, 700);
    setEnabledAll(false);
}

HistoryWindow::~HistoryWindow()
{
    // The view draws the chart: it lets go of it before the chart and the store go.
    chartView->setChart(nullptr);
}

QWidget *HistoryWindow::buildTrendTab()
{
    auto *tab = new QWidget(this);
    auto *v = new QVBoxLayout(tab);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Група:"), tab));
    groupBox = new QComboBox(tab);
    for (int g = 0; g < 8; ++g)
        groupBox->addItem(QStringLiteral("Група %1").arg(g + 1));
    top->addWidget(groupBox);
    top->addSpacing(12);
    for (int c = 0; c < 4; ++c) {
        auto *box = new QCheckBox(QStringLiteral("Канал %1").arg(c + 1), tab);
        box->setChecked(true);
        QPalette pal = box->palette();
        pal.setColor(QPalette::WindowText, HistoryPainter::channelColour(c));
        box->setPalette(pal);
        channelBoxes[std::size_t(c)] = box;
        top->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this, c](bool on) {
            if (chart_)
                chart_->setVisible(c, on);
            refreshChart();
        });
    }
    top->addStretch(1);
    top->addWidget(new QLabel(QStringLiteral("Проміжок:"), tab));
    spanBox = new QComboBox(tab);
    const std::pair<const char *, qint64> spans[] = {{"1 година", Hour},     {"8 годин", 8 * Hour},
                                                     {"1 доба", Day},        {"1 тиждень", 7 * Day},
                                                     {"1 місяць", 30 * Day}, {"1 рік", 365 * Day}};
    for (const auto &[caption, ms] : spans)
        spanBox->addItem(QString::fromUtf8(caption), QVariant::fromValue<qint64>(ms));
    spanBox->setCurrentIndex(2);
    spanBox->setPlaceholderText(QStringLiteral("інший"));
    top->addWidget(spanBox);
    v->addLayout(top);

    chartView = new HistoryChartView(tab);
    v->addWidget(chartView, 1);

    rangeLabel = new QLabel(tab);
    v->addWidget(rangeLabel);

    auto *nav = new QHBoxLayout;
    earlierButton = new QPushButton(QStringLiteral("◀ Раніше"), tab);
    laterButton = new QPushButton(QStringLiteral("Пізніше ▶"), tab);
    closerButton = new QPushButton(QStringLiteral("Ближче +"), tab);
    widerButton = new QPushButton(QStringLiteral("Ширше −"), tab);
    jumpEdit = dateEdit(tab);
    jumpButton = new QPushButton(QStringLiteral("Перейти"), tab);
    nowButton = new QPushButton(QStringLiteral("Зараз"), tab);
    csvButton = new QPushButton(QStringLiteral("CSV"), tab);
    xlsxButton = new QPushButton(QStringLiteral("Excel"), tab);
    pdfButton = new QPushButton(QStringLiteral("PDF"), tab);
    for (QPushButton *b : {earlierButton, laterButton, closerButton, widerButton})
        nav->addWidget(b);
    // The three exports are short words: no wider than they need.
    for (QPushButton *b : {csvButton, xlsxButton, pdfButton})
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) + 28);
    nav->addSpacing(6);
    jumpEdit->setToolTip(QStringLiteral("Початок проміжку, до якого перейти"));
    nav->addWidget(jumpEdit);
    nav->addWidget(jumpButton);
    nav->addWidget(nowButton);
    nav->addStretch(1);
    nav->addWidget(csvButton);
    nav->addWidget(xlsxButton);
    nav->addWidget(pdfButton);
    v->addLayout(nav);

    auto *hint = new QLabel(QStringLiteral("Коліщатко миші — ближче або ширше біля курсора; протягніть лівою кнопкою — "
                                           "показати проміжок; правою — зсунути"),
                            tab);
    hint->setStyleSheet(QStringLiteral("color: #606060"));
    v->addWidget(hint);

    connect(groupBox, &QComboBox::currentIndexChanged, this, [this](int g) {
        if (!chart_)
            return;
        chart_->setGroup(g);
        refreshChart();
    });
    connect(spanBox, &QComboBox::activated, this, [this](int i) {
        if (!chart_)
            return;
        const qint64 span = spanBox->itemData(i).toLongLong();
        // The end stays where it is: the newest part stays on show.
        chart_->setRange(chart_->to() - span + 1, chart_->to());
        chartMoved();
    });
    const auto move = [this](QPushButton *b, std::function<void(HistoryChart &)> op) {
        connect(b, &QPushButton::clicked, this, [this, op] {
            if (!chart_)
                return;
            op(*chart_);
            chartMoved();
        });
    };
    move(earlierButton, [](HistoryChart &c) { c.pan(-c.span() / 2); });
    move(laterButton, [](HistoryChart &c) { c.pan(c.span() / 2); });
    move(closerButton, [](HistoryChart &c) { c.zoom(0.5, c.from() + c.span() / 2); });
    move(widerButton, [](HistoryChart &c) { c.zoom(2, c.from() + c.span() / 2); });
    move(jumpButton, [this](HistoryChart &c) { c.jumpTo(msOf(jumpEdit)); });
    move(nowButton, [](HistoryChart &c) {
        if (!c.toNow())
            c.jumpTo(clockNow() - c.span() + 1);
    });
    connect(chartView, &HistoryChartView::rangeChanged, this, &HistoryWindow::chartMoved);

    const auto exportButton = [this](QPushButton *b, Format f) {
        connect(b, &QPushButton::clicked, this, [this, f] {
            if (!chart_)
                return;
            const QString suffix = f == Format::Csv ? QStringLiteral("csv")
                : f == Format::Xlsx                 ? QStringLiteral("xlsx")
                                                    : QStringLiteral("pdf");
            const QString filter = f == Format::Csv ? QStringLiteral("CSV (*.csv)")
                : f == Format::Xlsx                 ? QStringLiteral("Excel (*.xlsx)")
                                                    : QStringLiteral("PDF (*.pdf)");
            const QString name = QStringLiteral("Історія група %1 %2.%3")
                                     .arg(chart_->group() + 1)
                                     .arg(wall(chart_->from()).toString(QStringLiteral("yyyy-MM-dd HH-mm")), suffix);
            askPath(QStringLiteral("Зберегти графік історії"), name, filter, [this, f, suffix](const QString &path) {
                exportSamples(f, QFileInfo(path).suffix().isEmpty() ? path + u'.' + suffix : path);
            });
        });
    };
    exportButton(csvButton, Format::Csv);
    exportButton(xlsxButton, Format::Xlsx);
    exportButton(pdfButton, Format::Pdf);
    return tab;
}

QWidget *HistoryWindow::buildJournalTab()
{
    auto *tab = new QWidget(this);
    auto *v = new QVBoxLayout(tab);
    auto *top = new QHBoxLayout;
    journalRange = new QCheckBox(QStringLiteral("Проміжок з"), tab);
    journalFrom = dateEdit(tab);
    journalTo = dateEdit(tab);
    journalEvent = new QComboBox(tab);
    journalEvent->setMinimumContentsLength(18);
    journalEvent->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    journalSearch = new QLineEdit(tab);
    journalSearch->setPlaceholderText(QStringLiteral("Пошук за назвою"));
    journalSearch->setClearButtonEnabled(true);
    journalCsv = new QPushButton(QStringLiteral("CSV"), tab);
    top->addWidget(journalRange);
    top->addWidget(journalFrom);
    top->addWidget(new QLabel(QStringLiteral("по"), tab));
    top->addWidget(journalTo);
    top->addSpacing(8);
    top->addWidget(journalEvent);
    top->addWidget(journalSearch, 1);
    top->addWidget(journalCsv);
    v->addLayout(top);
    journalTable = table({QStringLiteral("Дата і час"), QStringLiteral("Сторінка"), QStringLiteral("Рядок"),
                          QStringLiteral("Подія"), QStringLiteral("Назва")},
                         tab);
    journalTable->setColumnWidth(0, 150);
    for (int c = 1; c <= 3; ++c)
        journalTable->setColumnWidth(c, 80);
    v->addWidget(journalTable, 1);
    journalCount = new QLabel(tab);
    v->addWidget(journalCount);

    const qint64 now = clockNow();
    journalFrom->setDateTime(wall(now - 30 * Day));
    journalTo->setDateTime(wall(now));
    journalFrom->setEnabled(false);
    journalTo->setEnabled(false);
    connect(journalRange, &QCheckBox::toggled, this, [this](bool on) {
        journalFrom->setEnabled(on);
        journalTo->setEnabled(on);
        refreshJournal();
    });
    connect(journalFrom, &QDateTimeEdit::dateTimeChanged, this, [this] { refreshJournal(); });
    connect(journalTo, &QDateTimeEdit::dateTimeChanged, this, [this] { refreshJournal(); });
    connect(journalEvent, &QComboBox::currentIndexChanged, this, [this] { refreshJournal(); });
    connect(journalSearch, &QLineEdit::textChanged, this, [this] { refreshJournal(); });
    connect(journalCsv, &QPushButton::clicked, this, [this] {
        askPath(QStringLiteral("Зберегти журнал історії"), QStringLiteral("Історія журнал.csv"),
                QStringLiteral("CSV (*.csv)"), [this](const QString &path) {
                    exportJournal(QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".csv") : path);
                });
    });
    return tab;
}

QWidget *HistoryWindow::buildActionsTab()
{
    auto *tab = new QWidget(this);
    auto *v = new QVBoxLayout(tab);
    auto *top = new QHBoxLayout;
    actionsRange = new QCheckBox(QStringLiteral("Проміжок з"), tab);
    actionsFrom = dateEdit(tab);
    actionsTo = dateEdit(tab);
    actionsKind = new QComboBox(tab);
    actionsKind->addItem(QStringLiteral("Усі дії"), QString());
    for (const QString &kind : actionKinds())
        actionsKind->addItem(actionKindCaption(kind), kind);
    actionsCsv = new QPushButton(QStringLiteral("CSV"), tab);
    top->addWidget(actionsRange);
    top->addWidget(actionsFrom);
    top->addWidget(new QLabel(QStringLiteral("по"), tab));
    top->addWidget(actionsTo);
    top->addSpacing(8);
    top->addWidget(new QLabel(QStringLiteral("Дія:"), tab));
    top->addWidget(actionsKind);
    top->addStretch(1);
    top->addWidget(actionsCsv);
    v->addLayout(top);
    actionsTable = table(
        {QStringLiteral("Дата і час"), QStringLiteral("Користувач"), QStringLiteral("Дія"), QStringLiteral("Опис")},
        tab);
    actionsTable->setColumnWidth(0, 170);
    actionsTable->setColumnWidth(1, 110);
    actionsTable->setColumnWidth(2, 110);
    v->addWidget(actionsTable, 1);
    actionsCount = new QLabel(tab);
    v->addWidget(actionsCount);

    const qint64 now = clockNow();
    actionsFrom->setDateTime(wall(now - 30 * Day));
    actionsTo->setDateTime(wall(now));
    actionsFrom->setEnabled(false);
    actionsTo->setEnabled(false);
    connect(actionsRange, &QCheckBox::toggled, this, [this](bool on) {
        actionsFrom->setEnabled(on);
        actionsTo->setEnabled(on);
        refreshActions();
    });
    connect(actionsFrom, &QDateTimeEdit::dateTimeChanged, this, [this] { refreshActions(); });
    connect(actionsTo, &QDateTimeEdit::dateTimeChanged, this, [this] { refreshActions(); });
    connect(actionsKind, &QComboBox::currentIndexChanged, this, [this] { refreshActions(); });
    connect(actionsCsv, &QPushButton::clicked, this, [this] {
        askPath(QStringLiteral("Зберегти дії оператора"), QStringLiteral("Історія дії.csv"),
                QStringLiteral("CSV (*.csv)"), [this](const QString &path) {
                    exportActions(QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".csv") : path);
                });
    });
    return tab;
}

void HistoryWindow::setEnabledAll(bool on)
{
    for (int i = 0; i < tabs->count(); ++i)
        tabs->widget(i)->setEnabled(on);
}

bool HistoryWindow::open(const QString &path, const QString &controller)
{
    path_ = path;
    controller_ = controller;
    chartView->setChart(nullptr);
    chart_.reset();
    store_.reset();
    openError_.clear();
    store_ = HistoryStore::open(path, &openError_, HistoryStore::Mode::Read, controller);
    if (store_) {
        chart_ = std::make_unique<HistoryChart>(*store_);
        chart_->setGroup(groupBox->currentIndex());
        for (int c = 0; c < 4; ++c)
            chart_->setVisible(c, channelBoxes[std::size_t(c)]->isChecked());
        const qint64 span = spanBox->currentData().toLongLong();
        chart_->setRange(clockNow() - span + 1, clockNow());
        chart_->toNow();
        chartView->setChart(chart_.get());
    }
    setEnabledAll(bool(store_));
    fillEventNames();
    refreshChart();
    refreshJournal();
    refreshActions();
    return bool(store_);
}

void HistoryWindow::reload()
{
    if (!store_) {
        if (!path_.isEmpty())
            open(path_, controller_);
        return;
    }
    fillEventNames();
    refreshChart();
    refreshJournal();
    refreshActions();
}

void HistoryWindow::fillEventNames()
{
    const int was = journalEvent->currentIndex();
    const QSignalBlocker block(journalEvent);
    journalEvent->clear();
    journalEvent->addItem(QStringLiteral("Усі події"), -1);
    const std::array<QString, 32> names = store_ ? storedEventNames(*store_) : std::array<QString, 32>{};
    for (int n = 0; n < 32; ++n)
        journalEvent->addItem(eventCaption(n, names[std::size_t(n)]), n);
    journalEvent->setCurrentIndex(std::max(was, 0));
}

void HistoryWindow::chartMoved() { refreshChart(); }

void HistoryWindow::refreshChart()
{
    if (!chart_) {
        rangeLabel->clear();
        showStatus();
        return;
    }
    QString why;
    chart_->refresh(&why);
    for (int c = 0; c < 4; ++c) {
        // Long names are cut, so that the four fit beside each other; the tooltip has them whole.
        const QString name = chart_->channelName(c);
        QCheckBox *box = channelBoxes[std::size_t(c)];
        box->setText(name.size() > MaxChannelCaption ? name.left(MaxChannelCaption - 1) + u'…' : name);
        box->setToolTip(name);
    }
    {
        const QSignalBlocker block(jumpEdit);
        jumpEdit->setDateTime(wall(chart_->from()));
    }
    // The span's entry when it is one of them; else none, and the line below names it.
    spanBox->setCurrentIndex(spanBox->findData(QVariant::fromValue<qint64>(chart_->span())));
    QString range =
        QStringLiteral("%1 — %2   (%3)")
            .arg(clockSecondsText(chart_->from()), clockSecondsText(chart_->to()), spanText(chart_->span()));
    if (!chart_->hasSamples())
        range += QStringLiteral("   У цьому проміжку група %1 не записана").arg(chart_->group() + 1);
    rangeLabel->setText(range);
    chartView->update();
    showStatus();
    if (!why.isEmpty())
        status->setText(QStringLiteral("Історію не прочитано: %1").arg(why));
}

JournalQuery HistoryWindow::journalQuery() const
{
    JournalQuery q;
    // The editors show whole seconds: the last second is included whole.
    q.fromMs = journalRange->isChecked() ? msOf(journalFrom) : AllFrom;
    q.toMs = journalRange->isChecked() ? msOf(journalTo) + 999 : AllTo;
    q.event = journalEvent->currentData().toInt();
    q.name = journalSearch->text();
    return q;
}

ActionQuery HistoryWindow::actionQuery() const
{
    ActionQuery q;
    q.fromMs = actionsRange->isChecked() ? msOf(actionsFrom) : AllFrom;
    q.toMs = actionsRange->isChecked() ? msOf(actionsTo) + 999 : AllTo;
    q.kind = actionsKind->currentData().toString();
    return q;
}

void HistoryWindow::refreshJournal()
{
    journalTable->setRowCount(0);
    if (!store_) {
        journalCount->clear();
        return;
    }
    const std::vector<JournalEvent> rows = journalRows(*store_, journalQuery());
    const int shown = int(std::min(rows.size(), std::size_t(MaxShownRows)));
    journalTable->setRowCount(shown);
    for (int r = 0; r < shown; ++r) {
        const JournalEvent &e = rows[std::size_t(r)];
        setCell(journalTable, r, 0, clockSecondsText(e.ms));
        setCell(journalTable, r, 1, QString::number(e.page + 1));
        setCell(journalTable, r, 2, QString::number(e.row + 1));
        setCell(journalTable, r, 3, QString::number(e.event + 1));
        setCell(journalTable, r, 4, e.name);
    }
    journalCount->setText(countText(rows.size()));
}

void HistoryWindow::refreshActions()
{
    actionsTable->setRowCount(0);
    if (!store_) {
        actionsCount->clear();
        return;
    }
    const std::vector<Action> rows = actionRows(*store_, actionQuery());
    const int shown = int(std::min(rows.size(), std::size_t(MaxShownRows)));
    actionsTable->setRowCount(shown);
    for (int r = 0; r < shown; ++r) {
        const Action &a = rows[std::size_t(r)];
        setCell(actionsTable, r, 0, clockText(a.ms));
        setCell(actionsTable, r, 1, a.user);
        setCell(actionsTable, r, 2, actionKindCaption(a.kind));
        setCell(actionsTable, r, 3, a.text);
    }
    actionsCount->setText(countText(rows.size()));
}

void HistoryWindow::showStatus()
{
    const bool server = pg::isUri(path_);
    const QString shown = server ? pg::shown(path_) : QDir::toNativeSeparators(path_);
    if (!store_) {
        status->setText(unopenedText(path_, server || QFileInfo::exists(path_), openError_));
        return;
    }
    const qint64 pages = store_->pageCount();
    status->setText(pages == 0 ? QStringLiteral("Історія %1: сторінок графіків ще немає").arg(shown)
                               : QStringLiteral("Історія %1: сторінок графіків %2").arg(shown).arg(pages));
}

void HistoryWindow::askPath(const QString &title, const QString &proposed, const QString &filter,
                            std::function<void(const QString &)> done)
{
    FileDialogs::save(this, title, proposed, filter, [done = std::move(done)](const QString &path) {
        if (!path.isEmpty())
            done(path);
    });
}

void HistoryWindow::exported(bool ok, const QString &error, const QString &path)
{
    if (ok)
        notices_.show(QMessageBox::Information, windowTitle(), msg::FileSaved.arg(QDir::toNativeSeparators(path)));
    else
        notices_.show(QMessageBox::Critical, msg::ErrorTitle, error.isEmpty() ? msg::FileLocked : error);
}

bool HistoryWindow::exportSamples(Format format, const QString &path)
{
    if (!store_ || !chart_)
        return false;
    const ExportResult r = format == Format::Csv ? writeSamplesCsv(*store_, *chart_, path)
        : format == Format::Xlsx                 ? writeSamplesXlsx(*store_, *chart_, path)
                                                 : writeChartPdf(*chart_, path);
    exported(r.ok, r.error, path);
    return r.ok;
}

bool HistoryWindow::exportJournal(const QString &path)
{
    if (!store_)
        return false;
    const std::vector<JournalEvent> rows = journalRows(*store_, journalQuery());
    const ExportResult r =
        store_->lastError().isEmpty() ? writeJournalCsv(rows, path) : ExportResult{false, store_->lastError()};
    exported(r.ok, r.error, path);
    return r.ok;
}

bool HistoryWindow::exportActions(const QString &path)
{
    if (!store_)
        return false;
    const std::vector<Action> rows = actionRows(*store_, actionQuery());
    const ExportResult r =
        store_->lastError().isEmpty() ? writeActionsCsv(rows, path) : ExportResult{false, store_->lastError()};
    exported(r.ok, r.error, path);
    return r.ok;
}

void HistoryWindow::closeEvent(QCloseEvent *event)
{
    // A dialog still open over the window is cancelled, so that nothing answers it later.
    FileDialogs::cancelAll(this);
    event->accept();
}

}   // namespace history
