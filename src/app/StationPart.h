#pragma once
// A subsystem's view of the station: references to the parts of the station it uses, bound by
// name from the program's station (or a test's). Each subsystem declares its own view next to
// its code, so that what it reads and writes is stated where it is used; Const views only read.
#include <type_traits>

template <class T, bool Const>
using StationPart = std::conditional_t<Const, const T &, T &>;
