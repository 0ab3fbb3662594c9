#pragma once
// A rough drawing of a page's elements over its picture, for looking at the layout without
// the program (element sizes the program decides itself are estimated).
#include "DemoPlant.h"

#include <QImage>

namespace demo {

QImage renderPreview(const Plant &plant, int page);

}   // namespace demo
