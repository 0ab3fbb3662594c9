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
#include <QString>

struct Station;
class LineCursor;

class ProjectReader {
public:
    ProjectReader(Station &station, ProjectView &view, LoadHost &host);

    // mnuLoad: hide the logo, ask the host for a file, load it.
    bool openProject();
    // Load a named file (command line; also used by openProject): every step but the dialog.
    bool load(const QString &path);

    // Where the last load stopped: 0 when it did not stop inside the project file.
    int failedLine() const { return failedLine_; }
    const QString &failure() const { return failure_; }

    static QString defaultPageCaption(int p);          // "Сторінка " + (p + 1)
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

    Station &st_;
    ProjectView &view_;
    LoadHost &host_;
    int failedLine_ = 0;
    QString failure_;
};
