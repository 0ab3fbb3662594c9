#include "journal/JURNAL_sheet.h"
#include "app/Messages.h"
#include "app/ModalWindow.h"
#include "app/DesktopOpen.h"
#include "app/PdfFile.h"
#include "journal/JournalStation.h"
#include "journal/Find_JURNAL_DATA.h"
#include "journal/Go_Jurnal.h"
#include "journal/JournalCsv.h"
#include "journal/JournalExport.h"
#include "journal/JournalFile.h"
#include "journal/JournalFastProbe.h"
#include "journal/JournalPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

namespace {

const QColor writtenColor(0, 0, 255);   // 0xFF0000 as 0x00BBGGRR
const QColor otherColor(128, 128, 128);
const QColor eventColor(255, 0, 0);
const QColor highlightColor(255, 192, 192);

constexpr int twips(int t) { return t / 15; }

QToolButton *toolButton(QWidget *parent, const char *name, const QString &tip, const QString &textOrEmpty,
                        QStyle::StandardPixmap icon = QStyle::SP_CustomBase)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    if (icon != QStyle::SP_CustomBase) {
        b->setIcon(parent->style()->standardIcon(icon));
        b->setIconSize(QSize(20, 20));
    }
    if (!textOrEmpty.isEmpty()) {
        b->setText(textOrEmpty);
        b->setToolButtonStyle(icon != QStyle::SP_CustomBase ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonTextOnly);
    }
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

}   // namespace

JURNAL_sheet::JURNAL_sheet(JournalStation station, Link &link, QWidget *parent)
    : QWidget(parent, Qt::Window),
      station_(station),
      link_(link),
      engine_(station, link, this),
      fast_(QStringLiteral("journal"), this)
{
    setObjectName(QStringLiteral("JURNAL_sheet"));
    setWindowTitle(QStringLiteral("Журнал"));
    auto *layout = new QVBoxLayout(this);

    auto *top = new QHBoxLayout;
    Frame1 = new QGroupBox(QStringLiteral("Сторінка"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *f1 = new QHBoxLayout(Frame1);
    Command_Tekus = new QPushButton(QStringLiteral("Поточна"), Frame1);
    Command_Tekus->setObjectName(QStringLiteral("Command_Tekus"));
    Command_Tekus->setFocusPolicy(Qt::NoFocus);
    Jurnal_DEC = toolButton(Frame1, "Jurnal_DEC", QStringLiteral("Сторінка -1"), {}, QStyle::SP_ArrowLeft);
    Num_STR_Jurnal = new QLabel(QStringLiteral("1"), Frame1);
    Num_STR_Jurnal->setObjectName(QStringLiteral("Num_STR_Jurnal"));
    Num_STR_Jurnal->setAlignment(Qt::AlignCenter);
    Num_STR_Jurnal->setMinimumWidth(36);
    QFont big = Num_STR_Jurnal->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 3);
    Num_STR_Jurnal->setFont(big);
    Jurnal_INC = toolButton(Frame1, "Jurnal_INC", QStringLiteral("Сторінка +1"), {}, QStyle::SP_ArrowRight);
    Jurnal_GO = toolButton(Frame1, "Jurnal_GO", QStringLiteral("Перейти"), QStringLiteral("№"));
    Image4 = toolButton(Frame1, "Image4", QStringLiteral("Знайти"), {}, QStyle::SP_FileDialogContentsView);
    for (QWidget *w :
         std::initializer_list<QWidget *>{Command_Tekus, Jurnal_DEC, Num_STR_Jurnal, Jurnal_INC, Jurnal_GO, Image4})
        f1->addWidget(w);
    Frame3 = new QGroupBox(QStringLiteral("Архів"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto *f3 = new QHBoxLayout(Frame3);
    SAVE =
        toolButton(Frame3, "SAVE", QStringLiteral("Зберегти"), QStringLiteral("Зберегти"), QStyle::SP_DialogSaveButton);
    LOAD =
        toolButton(Frame3, "LOAD", QStringLiteral("Відкрити"), QStringLiteral("Відкрити"), QStyle::SP_DialogOpenButton);
    EXCEL = toolButton(Frame3, "EXCEL", QStringLiteral("Excel"), QStringLiteral("Excel"));
    CSV = toolButton(Frame3, "CSV", QStringLiteral("CSV"), QStringLiteral("CSV"));
    PRINT_ON = toolButton(Frame3, "PRINT_ON", QStringLiteral("Друкувати"), QStringLiteral("Друкувати"));
    for (QWidget *w : std::initializer_list<QWidget *>{SAVE, LOAD, EXCEL, CSV, PRINT_ON})
        f3->addWidget(w);
    fastBox = new QCheckBox(QStringLiteral("Швидко"), this);
    fastBox->setObjectName(QStringLiteral("fastBox"));
    top->addWidget(Frame1);
    top->addWidget(Frame3);
    top->addWidget(fastBox);
    top->addStretch(1);
    layout->addLayout(top);

    spanLabel = new QLabel(this);
    spanLabel->setObjectName(QStringLiteral("spanLabel"));
    layout->addWidget(spanLabel);

    MSFlexGrid1 = new QTableWidget(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    layout->addWidget(MSFlexGrid1, 1);
    setUpGrid();

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer2 = new QTimer(this);
    Timer2->setInterval(3000);
    Timer2->setSingleShot(true);
    // The steps keep their timeline (send +600, wait +1200, read +1800 ms) even when a tick
    // comes late.
    driver_ = std::make_unique<ArchiveDriver>(engine_, this, ArchiveDriver::Schedule::OnTimeline);
    Timer_Opros_JURNAL = driver_->timer();
    Timer_Opros_JURNAL->setObjectName(QStringLiteral("Timer_Opros_JURNAL"));
    Timer_Opros_JURNAL->setInterval(JournalEngine::StepInterval);
    connect(Timer1, &QTimer::timeout, this, &JURNAL_sheet::Timer1_Timer);
    connect(fastBox, &QCheckBox::toggled, this, &JURNAL_sheet::fastToggled);
    connect(Timer2, &QTimer::timeout, this, &JURNAL_sheet::Timer2_Timer);

    connect(Command_Tekus, &QPushButton::clicked, this, &JURNAL_sheet::Command_Tekus_Click);
    connect(Jurnal_INC, &QToolButton::clicked, this, &JURNAL_sheet::Jurnal_INC_Click);
    connect(Jurnal_DEC, &QToolButton::clicked, this, &JURNAL_sheet::Jurnal_DEC_Click);
    connect(Jurnal_GO, &QToolButton::clicked, this, &JURNAL_sheet::Jurnal_GO_Click);
    connect(Image4, &QToolButton::clicked, this, &JURNAL_sheet::Image4_Click);
    connect(SAVE, &QToolButton::clicked, this, &JURNAL_sheet::SAVE_Click);
    connect(LOAD, &QToolButton::clicked, this, [this] { LOAD_Click(); });
    connect(EXCEL, &QToolButton::clicked, this, &JURNAL_sheet::EXCEL_Click);
    connect(CSV, &QToolButton::clicked, this, &JURNAL_sheet::CSV_Click);
    connect(PRINT_ON, &QToolButton::clicked, this, &JURNAL_sheet::PRINT_ON_Click);

    // Separate windows: the journal window is disabled while they are open.
    go_ = new Go_Jurnal;
    find_ = new Find_JURNAL_DATA(station_);
    connect(go_, &Go_Jurnal::pageChosen, this, &JURNAL_sheet::requestPage);
    connect(find_, &Find_JURNAL_DATA::findRequested, this, [this] {
        view_.Jurnal_Sel_Row = 1;
        waitCursor();
    });

    // Arrow keys are tracked wherever the focus is inside the window.
    installEventFilter(this);
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    // All 32 rows in view on a 1024 x 768 screen, with room for the frame and a panel.
    resize(twips(700 + 1300 + 1300 + 6070) + 60, 680);
}

JURNAL_sheet::~JURNAL_sheet()
{
    delete go_.data();
    delete find_.data();
}

void JURNAL_sheet::setUpGrid()
{
    QTableWidget *g = MSFlexGrid1;
    // The grid's 8-point font: the narrow number column's heading fits its 700 twips.
    QFont small = g->font();
    small.setPointSizeF(8);
    g->setFont(small);
    g->horizontalHeader()->setFont(small);
    g->setRowCount(journal::Records);
    g->setColumnCount(4);
    g->setHorizontalHeaderLabels({QStringLiteral("№ події"), QStringLiteral("Дата"), QStringLiteral("Час"),
                                  QStringLiteral("Аварійне повідомлення")});
    const int widths[4] = {700, 1300, 1300, 6070};
    for (int c = 0; c < 4; ++c)
        g->setColumnWidth(c, twips(widths[c]));
    g->verticalHeader()->hide();
    g->verticalHeader()->setDefaultSectionSize(17);
    g->verticalHeader()->setMinimumSectionSize(10);
    g->horizontalHeader()->setStretchLastSection(true);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::NoSelection);
    g->setFocusPolicy(Qt::NoFocus);
    QFont bold = g->font();
    bold.setBold(true);
    for (int r = 0; r < journal::Records; ++r) {
        for (int c = 0; c < 4; ++c) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            item->setFont(bold);
            item->setBackground(Qt::white);
            g->setItem(r, c, item);
        }
        g->item(r, 0)->setText(QString::number(r + 1));
    }
}

QString JURNAL_sheet::cell(int row, int col) const
{
    if (row == 0)
        return MSFlexGrid1->horizontalHeaderItem(col) ? MSFlexGrid1->horizontalHeaderItem(col)->text() : QString();
    const QTableWidgetItem *item = MSFlexGrid1->item(row - 1, col);
    return item ? item->text() : QString();
}

// ----- download ----------------------------------------------------------------------------

bool JURNAL_sheet::startDownload()
{
    // Not while a file dialog is open: the page it is about must stay. The request stays
    // raised and the polling cycle offers the link again.
    if (engine_.active() || fast_.checking() || FileDialogs::isOpen(this))
        return false;
    journalControls(false);
    // The first fast download from this controller: the check goes first, on the link handed
    // over now, and the download follows it.
    if (fastBox->isChecked() && fast_.verdict(station_.project) == FastVerdict::Unknown
        && fast_.check(
            station_.project, [this] { return std::make_unique<JournalFastProbe>(station_, link_); },
            [this](FastVerdict v) {
                if (v != FastVerdict::Accepted) {
                    fastBox->setChecked(false);
                    message(v == FastVerdict::Refused ? fastmsg::Refused : fastmsg::Unchecked, false);
                }
                beginDownload();
            }))
        return true;
    beginDownload();
    return true;
}

void JURNAL_sheet::beginDownload()
{
    const bool fast = fastBox->isChecked() && fast_.verdict(station_.project) == FastVerdict::Accepted;
    engine_.setAnswerPaced(fast);
    driver_->setAnswerPaced(fast);
    driver_->start();
    journalControls(false);
}

void JURNAL_sheet::fastToggled(bool on)
{
    if (on && fast_.verdict(station_.project) == FastVerdict::Refused) {
        fastBox->setChecked(false);
        message(fastmsg::Refused, false);
    }
}

void JURNAL_sheet::journalControls(bool enabled)
{
    Frame1->setEnabled(enabled);
    Frame3->setEnabled(enabled);
    updateArchiveButtons();
}

void JURNAL_sheet::updateArchiveButtons()
{
    // Save, Excel, CSV and Print work on the page on show; without one there is nothing.
    for (QToolButton *b : {SAVE, EXCEL, CSV, PRINT_ON})
        b->setEnabled(view_.pageOnShow());
}

void JURNAL_sheet::journalRequestSent()
{
    if (find_ && find_->isVisible())
        find_->hide();
}

void JURNAL_sheet::journalShow() { JURNAL_SCREEN(); }

void JURNAL_sheet::journalCrcMismatch() { QApplication::beep(); }

void JURNAL_sheet::journalEnded()
{
    driver_->stop();
    Timer_Opros_JURNAL->setInterval(JournalEngine::StepInterval);
    Q_EMIT pollingResumed();
}

void JURNAL_sheet::archiveEnded(const ArchiveOutcome &outcome)
{
    if (outcome.ok())
        Q_EMIT pageDownloaded();
}

void JURNAL_sheet::prepareForRequest()
{
    // A page shown before the window was last closed may be hours old: not on show now.
    view_.prepareForRequest();
    setUpGrid();
    Num_STR_Jurnal->setText(QStringLiteral("1"));
    spanLabel->clear();
    updateArchiveButtons();
    waitCursor();
}

// ----- page display ------------------------------------------------------------------------

void JURNAL_sheet::setHighlight(int row, bool on)
{
    if (row < 1 || row > journal::Records)
        return;
    for (int c = 1; c <= 2; ++c)
        MSFlexGrid1->item(row - 1, c)->setBackground(on ? highlightColor : QColor(Qt::white));
}

void JURNAL_sheet::listEvents(int row)
{
    const QStringList names = JournalView::events(station_, row);
    for (int i = 0; i < journal::Records; ++i) {
        QTableWidgetItem *item = MSFlexGrid1->item(i, 3);
        item->setForeground(eventColor);
        item->setText(i < names.size() ? names[i] : QString());
    }
}

void JURNAL_sheet::JURNAL_SCREEN()
{
    const JournalView::Page page = view_.showPage(station_);
    updateArchiveButtons();
    Num_STR_Jurnal->setText(page.pageNumber);
    for (int r = 0; r < journal::Records; ++r) {
        const JournalView::Row &row = page.rows[static_cast<std::size_t>(r)];
        MSFlexGrid1->item(r, 0)->setText(row.number);
        MSFlexGrid1->item(r, 1)->setText(row.date);
        MSFlexGrid1->item(r, 2)->setText(row.time);
        for (int c = 1; c <= 2; ++c)
            MSFlexGrid1->item(r, c)->setForeground(row.written ? writtenColor : otherColor);
        setHighlight(r + 1, false);
    }
    spanLabel->setText(page.span);
    listEvents(view_.Jurnal_Sel_Row);
    setHighlight(view_.Jurnal_Sel_Row, true);
}

void JURNAL_sheet::Jurnal_Up_Down()
{
    setHighlight(view_.Jurnal_Sel_Row, true);
    if (const std::optional<int> unlit = view_.moveHighlight())
        setHighlight(*unlit, false);
    listEvents(view_.Jurnal_Sel_Row);
}

// ----- page requests -----------------------------------------------------------------------

void JURNAL_sheet::waitCursor()
{
    setCursor(Qt::WaitCursor);
    MSFlexGrid1->viewport()->setCursor(Qt::WaitCursor);
    Timer2->start();
}

void JURNAL_sheet::Timer2_Timer()
{
    Timer2->stop();
    unsetCursor();
    MSFlexGrid1->viewport()->unsetCursor();
}

void JURNAL_sheet::requestPage(int page)
{
    view_.requestPage(station_, page);
    waitCursor();
}

void JURNAL_sheet::Command_Tekus_Click() { requestPage(journal::CurrentPage); }

// Before any page has arrived there is nothing to step from: the current one is asked for.
void JURNAL_sheet::Jurnal_INC_Click() { requestPage(view_.nextPage(station_)); }
void JURNAL_sheet::Jurnal_DEC_Click() { requestPage(view_.previousPage(station_)); }

void JURNAL_sheet::Jurnal_GO_Click() { ModalWindow::show(this, go_); }

void JURNAL_sheet::Image4_Click()
{
    find_->prepare();
    ModalWindow::show(this, find_);
}

// ----- keyboard and mouse ------------------------------------------------------------------

void JURNAL_sheet::Timer1_Timer()
{
    if (Timer1->interval() == 1000)
        Timer1->setInterval(100);
    // Under an open file dialog the page stays as it is.
    if (FileDialogs::isOpen(this))
        return;
    const JournalView::KeyTick tick = view_.keyTick(engine_.active());
    if (tick.rowMoved)
        Jurnal_Up_Down();
    if (tick.pageStep != 0) {
        Timer1->setInterval(1000);
        if (tick.pageStep < 0)
            Jurnal_DEC_Click();
        else
            Jurnal_INC_Click();
    }
}

bool JURNAL_sheet::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type t = event->type();
    if (t == QEvent::KeyPress || t == QEvent::KeyRelease) {
        auto *k = static_cast<QKeyEvent *>(event);
        const int key = k->key();
        if (JournalView::isArrow(key)) {
            if (!k->isAutoRepeat()) {
                if (t == QEvent::KeyPress)
                    view_.keyPressed(key);
                else
                    view_.keyReleased(key);
            }
            return true;
        }
    }
    if (t == QEvent::MouseButtonPress && watched == MSFlexGrid1->viewport()) {
        auto *m = static_cast<QMouseEvent *>(event);
        const int row = MSFlexGrid1->rowAt(static_cast<int>(m->position().y()));
        if (row >= 0) {
            if (m->button() == Qt::LeftButton)
                view_.Jurnal_Sel_Row = row + 1;
            Jurnal_Up_Down();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void JURNAL_sheet::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        view_.releaseAll();   // the releases go elsewhere now; taps already made still count
    QWidget::changeEvent(event);
}

void JURNAL_sheet::showEvent(QShowEvent *event)
{
    Timer1->setInterval(100);
    Timer1->start();
    QWidget::showEvent(event);
}

void JURNAL_sheet::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous()) {
        Timer1->stop();
        view_.forgetKeys();
    }
    QWidget::hideEvent(event);
}

void JURNAL_sheet::closeEvent(QCloseEvent *event)
{
    // A dialog still open over the window is cancelled first, so that nothing answers it
    // after the window has gone.
    FileDialogs::cancelAll(this);
    station_.journal.Jurnal_Request = 0;
    station_.journal.Jurnal_Find = 0;
    if (go_)
        go_->hide();
    if (find_)
        find_->hide();
    if (engine_.active() || fast_.checking()) {
        fast_.cancel();
        engine_.cancel();
        driver_->stop();
        journalControls(true);
        Q_EMIT pollingResumed();
    }
    event->accept();
}

// ----- archive -----------------------------------------------------------------------------

void JURNAL_sheet::askSavePath(const QString &title, const QString &proposed, const QString &filter,
                               FileDialogs::PathDone done)
{
    FileDialogs::save(this, title, proposed, filter, std::move(done));
}

void JURNAL_sheet::askOpenPath(const QString &filter, FileDialogs::PathDone done)
{
    FileDialogs::open(this, QStringLiteral("Відкрити журнал"), filter, std::move(done));
}

bool JURNAL_sheet::openDocument(const QString &path) { return desktop::openForOperator(path); }

void JURNAL_sheet::choosePrinter(QPrinter *printer, FileDialogs::PrintDone done)
{
    FileDialogs::print(this, printer, std::move(done));
}

namespace {

QString withSuffix(QString path, const QString &suffix)
{
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + suffix;
    return path;
}

}   // namespace

void JURNAL_sheet::message(const QString &text, bool error)
{
    notices_.show(error ? QMessageBox::Critical : QMessageBox::Information, error ? msg::ErrorTitle : windowTitle(),
                  text);
}

QList<QMessageBox *> JURNAL_sheet::messages() const
{
    const std::vector<QMessageBox *> open = notices_.open();
    return QList<QMessageBox *>(open.begin(), open.end());
}

void JURNAL_sheet::SAVE_Click()
{
    if (!view_.pageOnShow())
        return;
    askSavePath(
        QStringLiteral("Зберегти журнал"), QStringLiteral("Журнал подій "), QStringLiteral("file (*.jur)"),
        [this](const QString &path) {
            if (path.isEmpty())
                return;
            const QString file = withSuffix(path, QStringLiteral("jur"));
            if (!journal::saveJur(file, journal::pageOnShow(station_.journal.Jurnal_Buf), station_.journal.Jurnal_Buf))
                message(msg::FileLocked, true);
            else
                Q_EMIT fileWritten(QStringLiteral("jur"), file);
        });
}

void JURNAL_sheet::LOAD_Click()
{
    askOpenPath(QStringLiteral("file (*.jur)"), [this](const QString &path) {
        if (!path.isEmpty())
            loadFile(path);
    });
}

bool JURNAL_sheet::loadFile(const QString &path)
{
    QString why;
    const auto content = journal::loadJur(path, &why);
    if (!content) {
        // The page on show and the buffer behind it stay as they were.
        message(msg::JournalFileUnread.arg(QDir::toNativeSeparators(path), why), true);
        return false;
    }
    station_.journal.Jurnal_Buf = content->buf;
    station_.journal.Jurnal_Page = static_cast<std::int16_t>(content->page);
    journal::takePage(station_, false);
    JURNAL_SCREEN();
    return true;
}

QString JURNAL_sheet::proposedName(const QString &suffix) const
{
    return QStringLiteral("Журнал подій %1.%2").arg(journal::pageOnShow(station_.journal.Jurnal_Buf) + 1).arg(suffix);
}

void JURNAL_sheet::EXCEL_Click()
{
    if (!view_.pageOnShow())
        return;
    askSavePath(QStringLiteral("Зберегти таблицю Excel"), proposedName(QStringLiteral("xlsx")),
                QStringLiteral("Excel (*.xlsx)"), [this](const QString &chosen) {
                    if (chosen.isEmpty())
                        return;
                    const QString path = withSuffix(chosen, QStringLiteral("xlsx"));
                    QString why;
                    if (!journal::exportXlsx(path, station_, &why)) {
                        message(msg::FileLocked, true);
                        return;
                    }
                    Q_EMIT fileWritten(QStringLiteral("xlsx"), path);
                    if (!openDocument(path))
                        message(msg::SheetSavedNoViewer.arg(QDir::toNativeSeparators(path)), false);
                });
}

void JURNAL_sheet::CSV_Click()
{
    if (!view_.pageOnShow())
        return;
    askSavePath(QStringLiteral("Зберегти CSV"), proposedName(QStringLiteral("csv")), QStringLiteral("CSV (*.csv)"),
                [this](const QString &chosen) {
                    if (chosen.isEmpty())
                        return;
                    const QString file = withSuffix(chosen, QStringLiteral("csv"));
                    if (!journal::saveCsv(file, station_))
                        message(msg::FileLocked, true);
                    else
                        Q_EMIT fileWritten(QStringLiteral("csv"), file);
                });
}

void JURNAL_sheet::PRINT_ON_Click()
{
    if (!view_.pageOnShow())
        return;
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);   // room for 60 lines
    choosePrinter(printer.get(), [this, printer](bool accepted) {
        if (!accepted)
            return;
        // Printed to a file, the pages are written whole or the file is left as it was.
        const auto draw = [this](QPagedPaintDevice &d) { return journal::printJournal(d, station_); };
        if (const auto toFile = printToChosenFile(*printer, draw)) {
            if (!*toFile)
                message(msg::FileLocked, true);
            return;
        }
        if (!journal::printJournal(*printer, station_))
            message(msg::PrintFailed, true);
    });
}
