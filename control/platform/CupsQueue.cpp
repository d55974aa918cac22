#include "CupsQueue.h"

#include <cups/cups.h>

#include <algorithm>

namespace palvex {

namespace {

// This user's jobs on the queue, whatever their state; false when the scheduler does not answer.
template <class Visit> bool forEachJob(const QByteArray& queue, Visit visit) {
    cups_job_t* jobs = nullptr;
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.constData(), 1, CUPS_WHICHJOBS_ALL);
    if (count < 0 || cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        cupsFreeJobs(std::max(count, 0), jobs);
        return false;
    }
    for (int i = 0; i < count; ++i)
        visit(jobs[i]);
    cupsFreeJobs(count, jobs);
    return true;
}

} // namespace

bool CupsQueue::takesJobs() const {
    const QByteArray name = m_name.toUtf8();
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", name.constData());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const wanted[] = {"printer-state", "printer-is-accepting-jobs"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr,
                  wanted);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"); // frees the request
    bool takes = false;
    if (response && cupsLastError() <= IPP_STATUS_OK_CONFLICTING) {
        ipp_attribute_t* state = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM);
        ipp_attribute_t* accepting =
            ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
        takes = state && accepting && ippGetInteger(state, 0) != IPP_PSTATE_STOPPED &&
                ippGetBoolean(accepting, 0);
    }
    ippDelete(response);
    return takes;
}

bool CupsQueue::noteJobsBefore() {
    m_newestBefore = 0;
    return forEachJob(m_name.toUtf8(), [this](const cups_job_t& job) {
        m_newestBefore = std::max(m_newestBefore, job.id);
    });
}

bool CupsQueue::jobArrived() const {
    bool arrived = false;
    const bool answered = forEachJob(m_name.toUtf8(), [&](const cups_job_t& job) {
        if (job.id > m_newestBefore && job.state != IPP_JSTATE_CANCELED &&
            job.state != IPP_JSTATE_ABORTED)
            arrived = true;
    });
    return answered && arrived;
}

} // namespace palvex
