#pragma once
// What the fuzz targets share: a project loaded from memory with no file on disk, a view and a
// host that do nothing, the small plant every target starts from, and the check that turns a
// broken invariant into a finding.
#include "station/Station.h"
#include "project/HeadlessLoad.h"
#include "project/ProjectReader.h"
#include "fixture/NetWriter.h"
#include "fixture/PrtWriter.h"

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// A broken invariant is a finding like a crash: libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);                              \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

// Names resolve by joining, without looking at the disk; any name ending in ".net" reads as
// the netlist held here, anything else cannot be read.
class MemoryFiles : public ProjectFiles {
public:
    QString resolve(const QString &folder, const QString &name) const override;
    std::optional<QByteArray> readNetlist(const QString &path) const override;
    QByteArray netlist;
};

// Pictures whose name ends in ".bmp" load, others do not; elements are counted.
class QuietView : public NoProjectView {
public:
    void removeElements() override { created = 0; }
    bool setupPage(int, const QString &, const QString &picturePath, bool) override;
    void selectPage(int p) override { FUZZ_CHECK(p >= 0 && p < 8); }
    void createElement(ElementKind kind, int page, int slot, const ProjectModel &model) override;
    int created = 0;
};

class QuietHost : public NoLoadHost {
public:
    void showMessage(const QString &) override { ++messages; }
    void parameterError(const QString &) override { ++parameterErrors; }
    void netlistError(const QString &) override { ++netlistErrors; }
    int messages = 0, parameterErrors = 0, netlistErrors = 0;
};

// A small plant on page 0: every kind of polled element, the blocks behind them (analog input,
// digital output, PID, set-points, panel, timer, trend, journal, report) and their netlist.
fixture::PrtProject plantProject();
fixture::NetList plantNetlist();

// The project's file and netlist as the station reads them (Windows-1251, CR LF).
QByteArray projectBytes(const fixture::PrtProject &p);
QByteArray netlistBytes(const fixture::NetList &n);

// Loads the plant into the station from memory; aborts when it does not load.
void loadPlant(Station &station);

// The table sizes that nothing may change, whatever the input.
void checkTables(const Station &station);

}   // namespace fuzz
