// SPDX-License-Identifier: GPL-3.0-or-later
#include "MemoryTuning.h"

#include <QPixmapCache>
#include <malloc.h>

void MemoryTuning::beforeWindows()
{
    // A fixed threshold keeps every window's backing store in its own mapping, given back
    // when the window closes; the adaptive one moves them into the heap after the first
    // window has closed, where they stay as holes.
    mallopt(M_MMAP_THRESHOLD, mappedFromBytes);
}

void MemoryTuning::applicationMade()
{
    // The style caches every button face it paints (10 MB by default), a copy per size and
    // state that outlives the window it was painted for. The faces are painted the same way
    // with or without the cache.
    QPixmapCache::setCacheLimit(pixmapCacheKilobytes);
}
