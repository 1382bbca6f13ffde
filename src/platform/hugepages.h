#pragma once

#include <QtGlobal>

// Asks the kernel to back the whole 2 MiB stretches of [data, data + size) with huge pages, before
// anything is written there. A big block about to be filled (an answer of tens of megabytes, its
// records) then costs a few page faults instead of one for every 4 KiB. Small blocks and kernels
// without huge pages are left as they are; the memory behaves the same either way.
void adviseHugePages(void* data, qsizetype size);

// Blocks from this size on are advised; smaller ones rarely span a whole huge page.
inline constexpr qsizetype kHugePageAdviceFrom = qsizetype(4) << 20;
