#include "standin/run_settings.h"

#include <QtGlobal>

namespace qelvrin::standin {

namespace {

constexpr int kLongestPaceMs = 24 * 60 * 60 * 1000;

} // namespace

int defaultPaceMs(Stage stage)
{
    return stage == Stage::FullAssessment ? 4500 : 3500;
}

ParsedSettings readRunSettings(Stage stage)
{
    RunSettings settings;
    settings.paceMs = defaultPaceMs(stage);
    const QByteArray pace = qgetenv("QELVRIN_STANDIN_PACE_MS");
    if (!pace.isEmpty()) {
        bool ok = false;
        settings.paceMs = pace.toInt(&ok);
        if (!ok || settings.paceMs < 0 || settings.paceMs > kLongestPaceMs) {
            return {std::nullopt, QStringLiteral("QELVRIN_STANDIN_PACE_MS must be milliseconds from 0 to %1, not \"%2\"")
                                      .arg(kLongestPaceMs)
                                      .arg(QString::fromLocal8Bit(pace))};
        }
    }
    const QByteArray outcome = qgetenv("QELVRIN_STANDIN_OUTCOME");
    if (outcome.isEmpty() || outcome == "normal")
        settings.outcome = Outcome::Normal;
    else if (outcome == "abend")
        settings.outcome = Outcome::Abend;
    else if (outcome == "nosignal")
        settings.outcome = Outcome::NoSignal;
    else if (outcome == "exit-nosignal")
        settings.outcome = Outcome::ExitNoSignal;
    else
        return {std::nullopt, QStringLiteral("QELVRIN_STANDIN_OUTCOME must be normal, abend, nosignal or exit-nosignal, not \"%1\"")
                                  .arg(QString::fromLocal8Bit(outcome))};
    return {settings, {}};
}

} // namespace qelvrin::standin
