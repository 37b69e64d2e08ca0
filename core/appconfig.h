#pragma once

// The settings record: every parameter of a strategy or a page, read from
// "config/config.ini" when built and written back when destroyed.

class AppConfig
{
public:
    AppConfig();
    ~AppConfig();
};
