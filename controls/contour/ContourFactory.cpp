#include "ContourFactory.h"

#include "Contour.h"

QString ContourFactory::progId() const { return QStringLiteral("Contour1.Contour"); }

QWidget *ContourFactory::create(QWidget *parent) { return new Contour(parent); }
