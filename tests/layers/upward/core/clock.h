#pragma once

#include "app/vorelstock.h"
#include "core/stock.h"
