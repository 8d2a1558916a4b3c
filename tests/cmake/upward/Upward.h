// A file of the formats layer that reaches up into the session: the include
// check must refuse it.
#pragma once
#include "core/platform/Paths.h"
#include "core/app/Session.h"
