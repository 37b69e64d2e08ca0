#include "datasource/poolaccess.h"

#include "core/vorelapplication.h"

#include <cmath>
#include <limits>

QMap<QString, Stock> applicationStockPool()
{
    const VorelApplication* app = vorelApp();
    return app ? app->stockPool : QMap<QString, Stock>();
}

AppConfig applicationConfig()
{
    const VorelApplication* app = vorelApp();
    return app ? app->config : AppConfig();
}

bool isSpecialTreatment(const QString& name)
{
    return name.contains(QLatin1String("ST"));
}

QStringList codesWithoutST(const QMap<QString, Stock>& pool)
{
    QStringList codes;
    for (auto it = pool.constBegin(); it != pool.constEnd(); ++it) {
        if (!isSpecialTreatment(it->name))
            codes << it.key();
    }
    return codes;
}

int truncatedCount(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(value);
}
