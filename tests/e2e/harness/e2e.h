// Everything an end-to-end test needs.
#pragma once

#include "image.h"
#include "paths.h"
#include "probe_report.h"
#include "process.h"
#include "program.h"
#include "wait.h"
#include "wine_session.h"
#include "wine_test.h"
#include "x_screen.h"
