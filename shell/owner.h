// Owner-tagged memory and bitmaps: the end-of-run leak reports.
#pragma once

void SB_ReportBmapLeaks();
void SB_ReportMemLeaks();
