#pragma once
// UTF-8 is decoded and encoded in text/Utf8.h. The help text of the Windows window still
// includes it by this name.
#include "text/Utf8.h"
