#pragma once

#include "datasource/webinterface.h"
