#pragma once

#include "core/clock.h"
#include "core/mail.h"
