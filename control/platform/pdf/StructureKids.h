#pragma once

#include <cstddef>
#include <vector>

namespace palvex::pdf {

// A kid of a structure element: a marked-content sequence (its page and MCID) or an element.
struct StructureKid {
    int page;  // the page of a marked-content sequence; -1 for an element
    int value; // its MCID, or the element's object number
};

// An element's kids in order, kept as runs of evenly spaced numbers on one page: the paragraphs
// of a long document and the rows of a long table take a few runs a page, not a number each,
// so the structure of an open element costs little however many pages it spans.
class StructureKids {
public:
    void push_back(StructureKid kid) {
        ++m_count;
        if (!m_runs.empty()) {
            Run& last = m_runs.back();
            if (last.page == kid.page) {
                if (last.count == 1 && kid.value != last.start) {
                    last.step = kid.value - last.start;
                    last.count = 2;
                    return;
                }
                if (last.count > 1 && kid.value == last.start + last.step * last.count) {
                    ++last.count;
                    return;
                }
            }
        }
        m_runs.push_back({kid.page, kid.value, 0, 1});
    }
    // Takes back the last kid (an element that drew nothing).
    void pop_back() {
        if (m_runs.empty()) return;
        --m_count;
        if (--m_runs.back().count == 0) m_runs.pop_back();
    }
    bool empty() const { return m_count == 0; }
    size_t size() const { return m_count; }
    StructureKid back() const {
        const Run& last = m_runs.back();
        return {last.page, last.start + last.step * (last.count - 1)};
    }
    template <class Visit> void forEach(Visit&& visit) const {
        for (const Run& run : m_runs)
            for (int i = 0; i < run.count; ++i)
                visit(StructureKid{run.page, run.start + run.step * i});
    }

private:
    struct Run {
        int page, start, step, count;
    };
    std::vector<Run> m_runs;
    size_t m_count = 0;
};

} // namespace palvex::pdf
