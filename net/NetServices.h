#pragma once
// What the shell and the game's other folders call of the network layer.
#include <functional>
#include <string>

// The promotional-image check: one worker thread that refreshes the "Ads\" folder.

// Starts the worker; the caller does not wait for it. A failure to start is logged.
void StartPromoCheck();
// Joins the worker (at shutdown); nothing when it never started.
void StopPromoCheck();

// Start-up: the protocol buffer runtime must match the headers the game was built with;
// throws GameException when it does not.
void VerifyProtobufVersion();

// Notices of the network layer for the local player ("Your server has been publicly
// listed."). The game's message log installs the sink; without one the text goes to the
// log. Posting also plays the notice sound (effect 12).
using NetNoticeSink = std::function<void(const std::string& text)>;
void SetNetNoticeSink(NetNoticeSink sink);
void PostNetNotice(const std::string& text);
