#pragma once
// What the project loader asks of the screen while it reads a project: the mimic pages
// implement it with widgets; tests implement it by recording the calls.
#include "project/ProjectModel.h"
#include <QString>
#include <cstdint>

class ProjectView {
public:
    virtual ~ProjectView() = default;

    // Remove every element the previous project created (before anything new is read).
    virtual void removeElements() = 0;

    // Page p = 0..7: caption of its tab, its background picture (absolute path, empty = none),
    // and whether the page is shown. Returns false when the picture cannot be loaded (the
    // loader then gives the page no picture and the caption "Сторінка " + (p + 1)).
    virtual bool setupPage(int p, const QString &caption, const QString &picturePath, bool visible) = 0;

    // Background colour of page p (0x00BBGGRR, top bit = system colour); the page is shown.
    virtual void setPageColour(int p, std::int32_t colour) = 0;

    // Select tab p (0..7).
    virtual void selectPage(int p) = 0;

    // Create and style the element of a present record: kind, page p (0..8), slot i, read from
    // the model's tables. For Grafik_Image and Real_Clock, `slot` is the record index k and the
    // element lives on page k-1 (page is passed as k-1). Must never throw or crash on absurd
    // values; an element that cannot be made is skipped.
    virtual void createElement(ElementKind kind, int page, int slot, const ProjectModel &model) = 0;

    // After a complete load: page activation (tab 0, level bars re-attached, value-label
    // placeholders reset).
    virtual void activatePage() = 0;
};
