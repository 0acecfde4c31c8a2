#include "bench/bench_options.h"

namespace qelvrin::bench {

namespace {

const QStringList kGroups{QStringLiteral("load"), QStringLiteral("draw"), QStringLiteral("search"), QStringLiteral("startup"), QStringLiteral("print"),
                          QStringLiteral("batch")};

} // namespace

BenchOptions parseOptions(const QStringList& arguments)
{
    BenchOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        if (i + 1 >= arguments.size()) {
            options.error = QStringLiteral("%1 needs a value").arg(name);
            return options;
        }
        const QString value = arguments[++i];
        bool ok = true;
        if (name == QLatin1String("--data")) {
            options.dataDir = value;
        } else if (name == QLatin1String("--runs")) {
            options.runs = value.toInt(&ok);
            ok = ok && options.runs >= 1;
        } else if (name == QLatin1String("--sizes")) {
            options.logSizesMiB.clear();
            for (const QString& size : value.split(QLatin1Char(','))) {
                const int mib = size.toInt(&ok);
                if (!ok || mib < 1)
                    break;
                options.logSizesMiB.append(mib);
            }
            ok = ok && !options.logSizesMiB.isEmpty();
        } else if (name == QLatin1String("--only")) {
            options.only = value.split(QLatin1Char(','));
            for (const QString& group : std::as_const(options.only))
                ok = ok && kGroups.contains(group);
        } else if (name == QLatin1String("--load-child")) {
            options.loadChildFile = value;
        } else {
            options.error = QStringLiteral("unknown option %1").arg(name);
            return options;
        }
        if (!ok) {
            options.error = QStringLiteral("bad value for %1: %2").arg(name, value);
            return options;
        }
    }
    return options;
}

} // namespace qelvrin::bench
