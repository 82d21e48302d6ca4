#pragma once
// The BGL scenery file library.
#include "bgl/Bgl.h"
#include "bgl/DesignatorLabel.h"
#include "bgl/GetValue.h"
#include "bgl/Listing.h"
#include "bgl/PlainTree.h"
#include "bgl/Records.h"
#include "util/Variant.h"
