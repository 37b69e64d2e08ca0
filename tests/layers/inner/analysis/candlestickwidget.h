#pragma once

#include "analysis/indicators.h"
#include "core/mail.h"
