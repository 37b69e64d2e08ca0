#pragma once

#include "core/clock.h"
