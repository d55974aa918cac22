#pragma once

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace palvex::pdf {

// Deflates page contents and object streams on worker threads that live as long as the document, so
// each keeps one compressor and one heap arena however many pages there are; pages come back in the
// order they were given. With no workers each is deflated as it is given.
class PageCompressor {
public:
    explicit PageCompressor(unsigned workers);
    ~PageCompressor();
    PageCompressor(const PageCompressor&) = delete;
    PageCompressor& operator=(const PageCompressor&) = delete;

    // `entries` end the stream's dictionary when it is written.
    void submit(int id, QByteArray content, QByteArray entries = {});
    size_t waiting() const;
    unsigned workers() const { return unsigned(m_workers.size()); }

    struct Finished {
        int id;
        QByteArray data;
        bool deflated; // false: deflating failed and `data` is the content as it was given
        QByteArray entries;
    };
    // The oldest page given, once done; nothing when none is left.
    std::optional<Finished> takeOldest();

private:
    struct Job {
        int id;
        QByteArray data; // the content, then what became of it
        QByteArray entries;
        bool deflated = false;
        bool started = false, done = false;
    };
    void work();

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

} // namespace palvex::pdf
