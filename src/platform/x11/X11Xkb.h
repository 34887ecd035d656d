#pragma once
// xcb's header of the keyboard extension, which names a field `explicit`: a C++ keyword,
// renamed while the header is read.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
