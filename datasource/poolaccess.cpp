#include "datasource/poolaccess.h"

#include "core/vorelapplication.h"

#include <QCoreApplication>

#include <cmath>
#include <limits>

QMap<QString, Stock> applicationStockPool()
{
    if (auto* app = qobject_cast<VorelApplication*>(QCoreApplication::instance()))
        return app->stockPool;
    return QMap<QString, Stock>();
}

AppConfig applicationConfig()
{
    if (auto* app = qobject_cast<VorelApplication*>(QCoreApplication::instance()))
        return app->config;
    return AppConfig();
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
