#pragma once
#include "DemoPlant.h"

namespace demo {

// Draws the eight page pictures and places every page element into the plant's model.
void buildPages(Plant &plant);

}   // namespace demo
