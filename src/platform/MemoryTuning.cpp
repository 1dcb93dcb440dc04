#include "MemoryTuning.h"

#include <QPixmapCache>

void MemoryTuning::applicationMade()
{
    // The style caches every button face it paints (10 MB by default), a copy per size and
    // state that outlives the window it was painted for. The faces are painted the same way
    // with or without the cache.
    QPixmapCache::setCacheLimit(pixmapCacheKilobytes);
}
