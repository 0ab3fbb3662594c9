#pragma once
// The event loop of the link tests is the one every test binary shares.
#include "support/QtTestApp.h"
