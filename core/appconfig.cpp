#include "core/appconfig.h"

AppConfig::AppConfig() = default;
AppConfig::~AppConfig() = default;
