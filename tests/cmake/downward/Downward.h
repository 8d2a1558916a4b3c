// A file of the formats layer that uses only what lies below it.
#pragma once
#include "core/formats/Periode.h"
#include "core/platform/Paths.h"
