#pragma once
// The project loader: reads a .prt file line by line into the project model, has the view
// create every present page element as its record is read, sets up the link, reads the
// netlist named in the project and runs the netlist import.
//
// Failure: a file that cannot be opened, a line missing where the format needs one, a number
// line that does not convert (text, overflow) or a block type outside the catalogue ends the
// load at that line, as does a netlist that cannot be opened. What was read and created stays,
// projectLoaded is 0, Timer_Vent runs again, and the host shows a message naming the file and
// the line where reading stopped. Cancelling the Open dialog ends the load without a message.
#include "project/LoadHost.h"
#include "project/ProjectView.h"
#include <QByteArray>
#include <QString>
#include <optional>

#include "project/ProjectStation.h"
class LineCursor;
namespace text {
class LineReader;
}

// Where the files a project names come from. The base class looks on disk; another one lets a
// project be loaded entirely from memory (tests and fuzzing need no files then).
class ProjectFiles {
public:
    virtual ~ProjectFiles() = default;
    // The path that a name written in the project (netlist, page picture) stands for, relative
    // to the project's folder; on disk, matched case-insensitively when the exact one is missing.
    virtual QString resolve(const QString &folder, const QString &name) const;
    // The netlist's bytes; nullopt when it is not a file that can be read.
    virtual std::optional<QByteArray> readNetlist(const QString &path) const;
};

class ProjectReader {
public:
    ProjectReader(ProjectStation station, ProjectView &view, LoadHost &host);

    // mnuLoad: hide the logo, ask the host for a file, load it.
    bool openProject();
    // Load a named file (command line; also used by openProject): every step but the dialog.
    bool load(const QString &path);
    // Load a project whose file content is already in memory: `path` names it in messages
    // and its folder is where the names inside are resolved, through `files`; whether a page
    // picture exists is the view's to say. Every other step as load().
    bool loadContent(const QByteArray &content, const QString &path, const ProjectFiles &files);

    // Where the last load stopped: 0 when it did not stop inside the project file.
    int failedLine() const { return failedLine_; }
    const QString &failure() const { return failure_; }

    static QString defaultPageCaption(int p);   // "Сторінка " + (p + 1)
    static QString pageCaption(const QString &pictureName);
    static QString valueLabelCaption(int slot, int digits, const QString &previous);

private:
    bool fail(const QString &message);
    void applyVersion(double v);
    void linkSetup();
    void clearElements();
    void readPages(LineCursor &in, const QString &folder);
    void readSlotBlock(LineCursor &in);
    void readEquipment(LineCursor &in);
    void readTexts(LineCursor &in);
    void readPageColours(LineCursor &in);
    void readTrendIconsAndClocks(LineCursor &in);
    void readControls(LineCursor &in);
    void readMenus(LineCursor &in);
    void readBlocks(LineCursor &in);
    bool readNetlist();
    bool loadLines(text::LineReader &reader, const QString &path, const QString &folder);

    ProjectStation st_;
    ProjectView &view_;
    LoadHost &host_;
    const ProjectFiles *files_ = nullptr;   // set while a load runs
    int failedLine_ = 0;
    QString failure_;
};
