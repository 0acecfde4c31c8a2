#pragma once

#include "app/backlog/backlog_list.h"

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace qelvrin::backlog {

// One line of the list kept in OUTDIR, run on a drive of its own in the
// scratch space ($TMPDIR, else /tmp), which goes at the end: its logs and
// defect reports are kept in outputs/N-<SDG>/, and its result names those
// copies, never the scratch drive. The result appears whole or not at all.
class BacklogTask : public QObject {
    Q_OBJECT

public:
    BacklogTask(QString outdir, BacklogLine line);
    // False, with the reason on stderr, when the runner cannot be started.
    bool start();
    // A cancel or time limit: the runner closes its stage and the logs up
    // to there are still kept.
    void interrupt();

Q_SIGNALS:
    void finished(int exitStatus);

private:
    void keep(int exitStatus);

    QString m_outdir;
    BacklogLine m_line;
    QTemporaryDir m_scratch;
    QProcess m_runner;
    bool m_interrupted = false;
};

// The runner beside this program, else the one on the PATH.
QString batchProgram();

} // namespace qelvrin::backlog
