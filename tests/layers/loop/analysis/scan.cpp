#include "analysis/scan.h"

#include "datasource/history.h"
#include "datasource/source.h"
