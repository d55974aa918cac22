#pragma once

namespace palvex {

struct ReportState;

// A PDF/UA document must say what it is and what its pictures show: without a DocumentTitle,
// or with a picture recorded without alternative text, the export is refused (5) with what to
// set. Nothing for a report written without PDF/UA.
void refuseUnlessAccessible(const ReportState& report);

} // namespace palvex
