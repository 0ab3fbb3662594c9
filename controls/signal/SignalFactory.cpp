#include "SignalFactory.h"

#include "Signal.h"

QString SignalFactory::progId() const { return QStringLiteral("Signal_Q7.Signal"); }

QWidget *SignalFactory::create(QWidget *parent) { return new Signal(parent); }
