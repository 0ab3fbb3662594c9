#pragma once
// Files the program ships with (the demo project, the alarm sound): in a build tree they lie
// beside the program, in an installed tree in its data folder (share/tablo), found relative to
// the program's own folder so that either tree works wherever it is.
#include <QString>

namespace install {

// The shipped file at `relative` ("AVARIA.WAV", "demo/Kotelnya.prt"): beside the program
// unless it is missing there and present in the data folder. Without a running application
// the path is relative to the working folder.
QString dataFile(const QString &relative);

}   // namespace install
