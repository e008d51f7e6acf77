#pragma once
// The match result pop-up of a single-player match: the outcome's title and picture, the
// result rows with rank and statistics, the world-record comparison once the statistics
// service has answered, and the ways on (Checkpoint, Review, Rankings, Play Again,
// Continue). Its small arrow hides it behind a "Restore" button (RestoreWatcher.h).
#include "gui/VoiceBubble.h"

#include <memory>
#include <string>

class Button;
class Label;
class PrimContainer;

// The path of the statistics web site's page of a level: the level name percent-encoded
// (every byte but letters, digits, '-', '.', '_' and '~' as %XX).
std::string RankingsPath(const std::string& levelName);
// The host the rankings pages are opened on.
constexpr const char* kStatisticsSite = "https://stats.flimbs.net";

class MatchResultVoice : public VoiceBubble {
public:
    static std::unique_ptr<MatchResultVoice> Create(const std::string& outcome);
    explicit MatchResultVoice(const std::string& outcome);
    ~MatchResultVoice() override;

    // Once: the sliding title bar; until done: the world-record comparison. Then the
    // bubble's own update.
    void Update() override;
    void Close() override;

    // The button actions (parent, button).
    static void OnCheckpoint(Primitive* parent, Button* button);
    static void OnReview(Primitive* parent, Button* button);
    static void OnRankings(Primitive* parent, Button* button);
    // The end action of a replay started by Review: back to the planet.
    static void OnPlaybackEnd();
    static void OnPlayAgain(Primitive* parent, Button* button);
    static void OnContinue(Primitive* parent, Button* button);
    // The arrow's hide and the Restore button's action (RestoreWatcher.h).
    static void OnHide(Primitive* parent, Primitive* control);
    static void OnRestore(Primitive* parent, Button* button);

    bool TitleShown() const { return titleShown_; }
    bool ResultsShown() const { return resultsShown_; }
    Label* Description() const { return description_; }
    PrimContainer* Rows() const { return rows_; }
    const std::string& Outcome() const { return outcome_; }

private:
    void BuildRows();
    std::unique_ptr<Primitive> BuildPicture() const;
    std::unique_ptr<PrimContainer> BuildButtons();
    std::string TitleText() const;
    void FillComparison();

    std::string outcome_;
    Label* description_ = nullptr;
    PrimContainer* rows_ = nullptr;
    bool titleShown_ = false;
    bool resultsShown_ = false;
};
