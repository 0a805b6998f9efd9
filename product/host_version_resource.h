#pragma once
// The host's version as the product library receives it in qmInit.
#include "qm/product_library.h"

// The product version of the running executable; all 0 without one.
qm::HostVersion readHostVersion();
