// The statistics service's base URLs, set by the build (empty: nothing is sent).
#include "net/WebStats.h"

#ifndef FLIMBS_STATS_URL
#define FLIMBS_STATS_URL ""
#endif
#ifndef FLIMBS_PROMO_URL
#define FLIMBS_PROMO_URL ""
#endif

WebStatsUrls BuiltWebStatsUrls()
{
    return WebStatsUrls{FLIMBS_STATS_URL, FLIMBS_PROMO_URL};
}
