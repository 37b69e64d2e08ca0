#pragma once

#include "datasource/source.h"
