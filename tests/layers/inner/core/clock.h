#pragma once

#include "core/mail.h"
