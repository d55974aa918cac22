#pragma once

#include <QString>

namespace palvex {

// What the CUPS scheduler says about one queue, asked directly: Qt submits a job without reading
// back whether the scheduler took it, so a queue that rejects jobs, a stopped queue or a
// scheduler that has gone away would otherwise print nothing and say nothing.
class CupsQueue {
public:
    explicit CupsQueue(QString name) : m_name(std::move(name)) {}

    // True when the scheduler answers, and the queue is accepting jobs and not stopped.
    bool takesJobs() const;
    // Remembers this user's newest job on the queue; false when the scheduler does not answer.
    bool noteJobsBefore();
    // True when a job newer than the noted one is on the queue and was neither cancelled nor
    // aborted: the document sent since then reached it.
    bool jobArrived() const;

private:
    QString m_name;
    int m_newestBefore = 0;
};

} // namespace palvex
