#pragma once
// What the shell and the game's other folders call of the network layer.
#include <functional>
#include <string>

// Start-up: says which statistics addresses are not configured and asks the statistics
// service for a new promotional picture for the "Ads\" folder (WebStats::CheckPromo); the
// caller does not wait for it.
void StartPromoCheck();
// Shutdown, before the statistics tables go away: aborts the statistics client's transfers
// under way and joins its workers.
void StopPromoCheck();

// Start-up: the protocol buffer runtime must match the headers the game was built with;
// throws GameException when it does not.
void VerifyProtobufVersion();
// Start-up's network step: VerifyProtobufVersion, then the HTTP library's global set-up;
// throws GameException when either fails. The stop undoes the set-up (once, and only when
// it was made).
void StartNetworkLibrary();
void StopNetworkLibrary();

// Notices of the network layer for the local player ("Your server has been publicly
// listed."). The game's message log installs the sink; without one the text goes to the
// log. Posting also plays the notice sound (effect 12).
using NetNoticeSink = std::function<void(const std::string& text)>;
void SetNetNoticeSink(NetNoticeSink sink);
void PostNetNotice(const std::string& text);
