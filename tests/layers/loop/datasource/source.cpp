#include "datasource/source.h"

#include "datasource/history.h"
