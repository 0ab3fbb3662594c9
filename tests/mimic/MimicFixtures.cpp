#include "mimic/MimicFixtures.h"

#include <QWidget>

namespace fixtures {

MimicPages::ControlFactory fakeControls(int *made)
{
    return [made](const QString &progId, QWidget *parent) -> QWidget * {
        if (progId != QStringLiteral("Signal_Q7.Signal") && progId != QStringLiteral("Contour1.Contour"))
            return nullptr;
        auto *w = new QWidget(parent);
        w->setProperty("progId", progId);
        if (made)
            ++*made;
        return w;
    };
}

}   // namespace fixtures
