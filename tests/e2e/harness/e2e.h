// Everything an end-to-end test needs.
#pragma once

#include "wine_test.h"
