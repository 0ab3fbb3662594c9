#pragma once
// The journal window "Журнал": one page of the controller's event journal in a grid (row 1 =
// record 0), the events of the selected record in the last column, the page's time span above
// the grid, page navigation (current, previous, next, go to, find by date), record selection by
// mouse and arrow keys, and the archive frame (save and open .jur, Excel, CSV, print).
//
// The window owns the journal download: the composition calls startDownload() when the polling
// cycle hands over the link, and resumes polling on pollingResumed().
#include "app/FileDialogs.h"
#include "app/Notices.h"
#include "journal/Find_JURNAL_DATA.h"
#include "journal/Go_Jurnal.h"
#include "journal/JournalEngine.h"
#include "journal/JournalView.h"
#include "link/ArchiveDriver.h"
#include "link/FastVerdict.h"
#include <memory>
#include <QPointer>
#include <QWidget>

#include "journal/JournalStation.h"
class Link;
class QGroupBox;
class QLabel;
class QMessageBox;
class QPrinter;
class QPushButton;
class QCheckBox;
class QTableWidget;
class QTimer;
class QToolButton;

class JURNAL_sheet : public QWidget, private JournalListener {
    Q_OBJECT
public:
    static constexpr int HighlightColor = 12632319;   // red 255, green 192, blue 192

    JURNAL_sheet(JournalStation station, Link &link, QWidget *parent = nullptr);
    ~JURNAL_sheet() override;

    // The polling cycle handed over the link: the download starts (first tick in 600 ms).
    bool startDownload();
    JournalEngine &engine() { return engine_; }

    // Opened from the menu or a navigation label: the current page has been requested. The
    // grid is set up afresh; until a page arrives none is on show.
    void prepareForRequest();
    // A page is on the grid (downloaded or loaded from a file since the window was opened).
    bool pageOnShow() const { return view_.pageOnShow(); }
    // The page, selection and keys as the window shows them.
    JournalView &view() { return view_; }

    // Draws the page held in the station (`Jurnal_Buf`, `Jurnal_Page`, `Jurnal_Pointer`,
    // `Jurnal_Cur_Rec`).
    void JURNAL_SCREEN();
    // Moves the highlight to `Jurnal_Sel_Row` and lists that record's events.
    void Jurnal_Up_Down();

    // Page requests.
    void Command_Tekus_Click();
    void Jurnal_INC_Click();
    void Jurnal_DEC_Click();
    void Jurnal_GO_Click();
    void Image4_Click();
    // Archive frame. The dialogs answer later; nothing is written or read before they do.
    void SAVE_Click();
    void LOAD_Click();
    // Reads a journal file into the buffer and shows it; false (with a message) when it
    // cannot be read, and the page on show stays.
    bool loadFile(const QString &path);
    void EXCEL_Click();
    void CSV_Click();
    void PRINT_ON_Click();

    // Keyboard navigation (`Timer1`) and the pointer restore (`Timer2`).
    void Timer1_Timer();
    void Timer2_Timer();

    QTableWidget *MSFlexGrid1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QPushButton *Command_Tekus = nullptr;
    QLabel *Num_STR_Jurnal = nullptr;
    QLabel *spanLabel = nullptr;
    // "Швидко": the answer read as soon as it is in, once the controller passed the check
    // (off at start).
    QCheckBox *fastBox = nullptr;
    FastGate &fastGate() { return fast_; }
    QToolButton *Jurnal_DEC = nullptr, *Jurnal_INC = nullptr, *Jurnal_GO = nullptr, *Image4 = nullptr;
    QToolButton *SAVE = nullptr, *LOAD = nullptr, *EXCEL = nullptr, *CSV = nullptr, *PRINT_ON = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    QTimer *Timer_Opros_JURNAL = nullptr;
    Go_Jurnal *goWindow() const { return go_; }
    Find_JURNAL_DATA *findWindow() const { return find_; }

    // Text of the grid cell (row 0 = headings).
    QString cell(int row, int col) const;

    // The message boxes this window has shown and that are still open.
    QList<QMessageBox *> messages() const;

Q_SIGNALS:
    // The download ended or was cut short by closing the window: polling resumes at step 0.
    void pollingResumed();
    // A download brought a journal page into the station (`Jurnal_Buf`).
    void pageDownloaded();
    // The page on show was written to `path`: "jur", "xlsx" or "csv".
    void fileWritten(const QString &kind, const QString &path);

protected:
    // File dialogs, answered through the callback (an empty path when cancelled); tests
    // answer them.
    virtual void askSavePath(const QString &title, const QString &proposed, const QString &filter,
                             FileDialogs::PathDone done);
    virtual void askOpenPath(const QString &filter, FileDialogs::PathDone done);
    // Shows a written workbook to the operator; false when no program could open it.
    virtual bool openDocument(const QString &path);
    // The print dialog over `printer` (alive until `done` has run); false when cancelled.
    virtual void choosePrinter(QPrinter *printer, FileDialogs::PrintDone done);
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // JournalListener
    void journalControls(bool enabled) override;
    void journalRequestSent() override;
    void journalShow() override;
    void journalCrcMismatch() override;
    void journalEnded() override;
    void archiveEnded(const ArchiveOutcome &outcome) override;

    void updateArchiveButtons();
    void beginDownload();
    void fastToggled(bool on);
    bool pageKey(int key);
    void requestPage(int page);
    void waitCursor();
    void listEvents(int row);
    void setHighlight(int row, bool on);
    void message(const QString &text, bool error);
    void setUpGrid();
    QString proposedName(const QString &suffix) const;

    JournalStation station_;
    Link &link_;
    JournalEngine engine_;
    // Owned here, but the main window may unload them first at shut-down.
    QPointer<Go_Jurnal> go_;
    QPointer<Find_JURNAL_DATA> find_;
    JournalView view_;
    // Runs engine_ on `Timer_Opros_JURNAL`.
    std::unique_ptr<ArchiveDriver> driver_;
    FastGate fast_;
    Notices notices_;
};
