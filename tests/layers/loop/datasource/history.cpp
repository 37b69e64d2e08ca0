#include "datasource/history.h"

#include "datasource/source.h"
