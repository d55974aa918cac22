// Pages deflated on worker threads, or on the drawing thread when a bulk run's processes already
// fill every core: the same pages, whole and in the order they were given, either way.

#include "platform/pdf/PageCompressor.h"

#include <libdeflate.h>

#include <QByteArray>

#include <gtest/gtest.h>

#include <memory>

namespace {

QByteArray inflated(const QByteArray& deflated, qsizetype size) {
    std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> inflater(
        libdeflate_alloc_decompressor(), &libdeflate_free_decompressor);
    QByteArray out(size, '\0');
    size_t actual = 0;
    if (libdeflate_zlib_decompress(inflater.get(), deflated.constData(), size_t(deflated.size()),
                                   out.data(), size_t(out.size()), &actual) != LIBDEFLATE_SUCCESS)
        return {};
    out.resize(qsizetype(actual));
    return out;
}

QByteArray pageContent(int page) {
    QByteArray content;
    for (int line = 0; line < 50 + page % 7; ++line)
        content += "BT /F1 10 Tf " + QByteArray::number(page * 100 + line) + " 700 Td (x) Tj ET\n";
    return content;
}

} // namespace

TEST(PageCompressor, EveryPageComesBackWholeAndInOrderWithOrWithoutWorkers) {
    for (unsigned workers : {0u, 1u, 3u}) {
        SCOPED_TRACE(workers);
        palvex::pdf::PageCompressor compressor(workers);
        EXPECT_EQ(compressor.workers(), workers);
        int next = 0;
        for (int page = 0; page < 40; ++page) {
            compressor.submit(page, pageContent(page), page % 5 ? QByteArray() : " /Tabs /S");
            // As the document takes them: the oldest once more than a few wait.
            while (compressor.waiting() > workers + 1) {
                const auto finished = compressor.takeOldest();
                ASSERT_TRUE(finished && finished->deflated);
                EXPECT_EQ(finished->id, next);
                EXPECT_EQ(inflated(finished->data, 1 << 16), pageContent(next));
                EXPECT_EQ(finished->entries, next % 5 ? QByteArray() : " /Tabs /S");
                ++next;
            }
        }
        while (const auto finished = compressor.takeOldest()) {
            EXPECT_EQ(finished->id, next);
            EXPECT_EQ(inflated(finished->data, 1 << 16), pageContent(next));
            ++next;
        }
        EXPECT_EQ(next, 40);
    }
}
