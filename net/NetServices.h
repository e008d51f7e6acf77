#pragma once
// The promotional-image check: one worker thread that refreshes the "Ads\" folder.

// Starts the worker; the caller does not wait for it. A failure to start is logged.
void StartPromoCheck();
// Joins the worker (at shutdown); nothing when it never started.
void StopPromoCheck();
