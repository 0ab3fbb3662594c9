#pragma once
// What the project loader asks of the main window while it opens a project: the open dialog,
// the version menu, the timers, the link objects, the caption, the menus and message boxes.
// The main window implements it; tests implement it by recording the calls.
#include "project/NetlistImport.h"
#include <QString>

class LoadHost : public NetlistListener {
public:
    // mnuHelp1 "&Версія 2.0  (01/03/15) ", mnuHelp2 "&Версія 1.2 (01.10.14)",
    // mnuHelp3 "&Версія 5.0  (01/09/19) "; None clears all three.
    enum class VersionMenu { None, Help1, Help2, Help3 };

    // The Open dialog (filter "project file|*.prt"); an empty result means cancelled.
    virtual QString chooseProjectFile() = 0;
    virtual void hideLogo() = 0;
    // Check mark on one version item, the other two lose it.
    virtual void checkVersionMenu(VersionMenu item) = 0;
    virtual void setAnimationTimer(bool enabled) = 0;   // Timer_Vent
    // Link set-up: connect the TCP client (a failure must be harmless: the loader goes on) or
    // close it.
    virtual void connectTcp(const QString &host, std::int32_t port) = 0;
    virtual void closeTcp() = 0;
    // A project's link is set up anew: what the downloads of the one before left (the started
    // flag, the report's own port) is forgotten.
    virtual void forgetDownloads() = 0;
    virtual void enableMainWindow() = 0;
    virtual void setCaption(const QString &caption) = 0;
    // Tab control SCADA_SSTab at 1, 1, 803 x 500; page pictures 800 x 480 below the tab strip.
    virtual void layoutPageArea() = 0;
    virtual void setPollTimer(bool enabled) = 0;   // Timer_05
    // mnuReport, mnuGRAFIK, mnuJurnalOpen and the separators mnu12, mnu13 become visible.
    virtual void showProjectMenus() = 0;
    // A message box with the error icon and an OK button.
    virtual void showMessage(const QString &text) = 0;
};
