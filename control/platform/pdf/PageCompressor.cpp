#include "PageCompressor.h"

#include "PdfWriter.h"

namespace palvex::pdf {

PageCompressor::PageCompressor(unsigned workers) {
    for (unsigned i = 0; i < workers; ++i)
        m_workers.emplace_back([this] { work(); });
}

PageCompressor::~PageCompressor() {
    {
        std::lock_guard<std::mutex> locked(m_lock);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

void PageCompressor::submit(int id, QByteArray content, QByteArray entries) {
    if (m_workers.empty()) {
        // No workers: deflated here and now, and a page that cannot be is kept as it is.
        QByteArray deflated = PdfWriter::compress(content);
        const bool ok = !deflated.isEmpty();
        std::lock_guard<std::mutex> locked(m_lock);
        m_jobs.push_back({id, ok ? std::move(deflated) : std::move(content), std::move(entries), ok,
                          true, true});
        return;
    }
    {
        std::lock_guard<std::mutex> locked(m_lock);
        m_jobs.push_back({id, std::move(content), std::move(entries)});
    }
    m_changed.notify_all();
}

size_t PageCompressor::waiting() const {
    std::lock_guard<std::mutex> locked(m_lock);
    return m_jobs.size();
}

std::optional<PageCompressor::Finished> PageCompressor::takeOldest() {
    std::unique_lock<std::mutex> locked(m_lock);
    if (m_jobs.empty()) return std::nullopt;
    m_changed.wait(locked, [&] { return m_jobs.front().done; });
    Job& job = m_jobs.front();
    Finished finished{job.id, std::move(job.data), job.deflated, std::move(job.entries)};
    m_jobs.pop_front();
    return finished;
}

void PageCompressor::work() {
    std::unique_lock<std::mutex> locked(m_lock);
    for (;;) {
        Job* job = nullptr;
        m_changed.wait(locked, [&] {
            for (Job& j : m_jobs)
                if (!j.started) {
                    job = &j;
                    return true;
                }
            return m_stopping;
        });
        if (!job) return;
        job->started = true;
        QByteArray content = std::move(job->data);
        const int id = job->id;
        locked.unlock();
        QByteArray deflated = PdfWriter::compress(content);
        locked.lock();
        // Jobs before this one may have been taken meanwhile; find it again by its number.
        for (Job& j : m_jobs)
            if (j.id == id && j.started && !j.done) {
                // A page that could not be deflated is written as it is, never lost.
                j.deflated = !deflated.isEmpty();
                j.data = j.deflated ? std::move(deflated) : std::move(content);
                j.done = true;
                break;
            }
        m_changed.notify_all();
    }
}

} // namespace palvex::pdf
