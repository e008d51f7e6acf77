#include "hud/MatchResultVoice.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "game/GameTimeFormat.h"
#include "game/LevelNames.h"
#include "gui/Animators.h"
#include "gui/FlimbsCheckBox.h"
#include "gui/FlimbsMenuBar.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/WindowList.h"
#include "hud/BubbleWidgets.h"
#include "hud/HudActions.h"
#include "hud/HudGame.h"
#include "hud/HudWindow.h"
#include "hud/PopupSupport.h"
#include "hud/RestoreWatcher.h"
#include "hud/ResultRows.h"
#include "modes/GameMode.h"
#include "modes/ModeServices.h"
#include "session/GameSessions.h"
#include "session/SessionServices.h"
#include "world/Groups.h"

#include <algorithm>
#include <exception>

namespace {

constexpr int kMultiverseMode = 4;
constexpr int kQuantumLoopMode = 5;
constexpr const char* kTitleBarName = "RESULT_TITLE_BAR";
constexpr const char* kIconFolder = "Graphics\\Menu\\Eom\\ButtonIcons\\";
constexpr uint32_t kDisabledTint = 0xFF303030;
constexpr float kTextWidth = 420.0f;

const char* GroupLabel(int group)
{
    return group >= 0 && group < kGroupCount ? kGroupNames[size_t(group)] : "all";
}

// The outcome slot of a Multiverse result detail: 0 win small, 1 win large, 2 lose small,
// 3 lose large.
int OutcomeSlot(int detail)
{
    if (detail == 0 || detail == 1)
        return 0;
    if (detail == 2)
        return 1;
    if (detail == 130)
        return 2;
    return 3;
}

bool ComparesWithRecords(int gameType)
{
    return gameType == 1 || gameType == 6;
}

MatchResultVoice* EnclosingResult(Primitive* from)
{
    for (Primitive* walk = from; walk; walk = walk->parent)
        if (auto* voice = dynamic_cast<MatchResultVoice*>(walk))
            return voice;
    return nullptr;
}

std::unique_ptr<VoiceBubbleButton> ResultButton(const char* caption, const char* icon, float height, float scale,
                                                ButtonCallback action)
{
    auto button = std::make_unique<VoiceBubbleButton>(TranslateText(caption));
    button->SetIcon(std::string(kIconFolder) + icon, 6.0f, 1.0f);
    button->SetFont(button->fontId, 0xFF000000, scale);
    float width = 0.0f, natural = 0.0f;
    button->GetSize(&width, &natural);
    button->SetSize(width, height);
    button->onClick = std::move(action);
    button->tabStop = 1;
    return button;
}

void Disable(StretchGraphicButton& button)
{
    button.enabled = 0;
    button.tint = kDisabledTint;
}

} // namespace

std::string RankingsPath(const std::string& levelName)
{
    std::string path = "/flimbstats/singleplayer/by_level/";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const unsigned char c : levelName) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~';
        if (plain) {
            path += char(c);
        } else {
            path += '%';
            path += kHex[c >> 4];
            path += kHex[c & 15];
        }
    }
    return path;
}

std::unique_ptr<MatchResultVoice> MatchResultVoice::Create(const std::string& outcome)
{
    return std::make_unique<MatchResultVoice>(outcome);
}

MatchResultVoice::MatchResultVoice(const std::string& outcome) : outcome_(outcome)
{
    SetName("MatchResultVoice");
    HudGame& game = CurrentHudGame();
    BuildRows();

    auto title = std::make_unique<SimpleLabel>(6, 0xFF444444, kLabelCentre, CutUtf8(TitleText(), kPopupTextLimit));
    title->SetScale(1.0f);
    title->FitToText();
    const int type = game.GameType();
    std::string text = (type == 2 || type == 4 || type == 5) ? game.EndOfMatchText() : outcome_;
    if (text.empty())
        text = " ";
    auto description = MakeTextBlock(text, 6, 0xFF444444, 0.6f, kTextWidth);
    description_ = description.get();

    // The rows and, beside them at their height, the picture.
    auto middle = std::make_unique<PrimContainer>();
    const FloatPoint rowsSize = rows_->GetSizeVirtual();
    rows_->SetPosition(0.0f, 0.0f);
    middle->AddChild(rows_);
    if (std::unique_ptr<Primitive> picture = BuildPicture()) {
        picture->SetPosition(rowsSize.x + DesignUnitsX(6.0f), 0.0f);
        middle->AddChild(picture.release());
    }
    float mw = 0.0f, mh = 0.0f;
    middle->GetSize(&mw, &mh);
    middle->SetSize(mw, mh);

    std::unique_ptr<PrimContainer> buttons = BuildButtons();
    std::vector<Primitive*> stack{title.get(), description.get(), middle.get(), buttons.get()};
    AddChild(title.release());
    AddChild(description.release());
    AddChild(middle.release());
    AddChild(buttons.release());
    StackCentred(this, stack, 3.0f, 12.0f, 6.0f);

    auto hide = std::make_unique<CollapseCheckBox>();
    hide->SetName("HIDE");
    hide->onChange = OnHide;
    hide->hAlign = kAlignRight;
    hide->excludeFromBounds = 1;
    hide->SetPosition(GetSizeVirtual().x - DesignUnitsX(30.0f), 20.0f);
    AddChild(hide.release());
}

MatchResultVoice::~MatchResultVoice() = default;

std::string MatchResultVoice::TitleText() const
{
    const HudGame& game = CurrentHudGame();
    if (game.ModeIndex() == kMultiverseMode) {
        const std::optional<FlimbMasterRecord> master = game.CurrentFlimbMaster();
        if (!master)
            return TranslateText("No FlimbMaster");
        return master->texts[OutcomeSlot(game.ResultDetail())];
    }
    return game.PickExpression(game.GameType(), game.ResultDetail()).title;
}

void MatchResultVoice::BuildRows()
{
    const HudGame& game = CurrentHudGame();
    auto rows = std::make_unique<PrimContainer>();
    rows->SetName("RESULT_ROWS");
    GameMode* mode = CurrentGameMode();
    const int local = game.LocalGroup();
    float y = 0.0f;
    if (mode) {
        const std::vector<GroupStats> table = mode->BuildResultTable();
        const bool single = game.ModeIndex() == 0 && !game.IsMultiplayer();
        for (size_t i = 0; i < table.size(); ++i) {
            const bool isLocal = table[i].group == local;
            auto row = std::make_unique<ResultRow>(table[i], i == 0, 0xFF000000,
                                                   isLocal && ComparesWithRecords(game.GameType()), isLocal, single);
            row->SetPosition(0.0f, y);
            y += row->GetSizeVirtual().y + DesignUnitsY(2.0f);
            rows->AddChild(row.release());
        }
    }
    float w = 0.0f, h = 0.0f;
    rows->GetSize(&w, &h);
    rows->SetSize(w, h);
    rows_ = rows.release();
}

std::unique_ptr<Primitive> MatchResultVoice::BuildPicture() const
{
    const HudGame& game = CurrentHudGame();
    std::string path;
    if (game.ModeIndex() == kMultiverseMode) {
        if (const std::optional<FlimbMasterRecord> master = game.CurrentFlimbMaster())
            path = master->images[OutcomeSlot(game.ResultDetail())];
    } else {
        // The pattern's one "%s" takes the group's label; the text is never a format.
        const std::string pattern = game.PickExpression(game.GameType(), game.ResultDetail()).picturePattern;
        const size_t at = pattern.find("%s");
        const std::string name =
            at == std::string::npos ? pattern : pattern.substr(0, at) + GroupLabel(game.LocalGroup()) + pattern.substr(at + 2);
        path = "Graphics\\Menu\\Eom\\Expressions\\" + name;
    }
    if (!HudImageExists(path))
        return nullptr;
    return std::make_unique<ScreenImage>(path);
}

std::unique_ptr<PrimContainer> MatchResultVoice::BuildButtons()
{
    HudGame& game = CurrentHudGame();
    auto block = std::make_unique<PrimContainer>();
    block->SetName("RESULT_BUTTONS");
    const float margin = DesignUnitsX(6.0f);

    std::vector<std::unique_ptr<VoiceBubbleButton>> left;
    left.push_back(ResultButton("Checkpoint", "checkpoint.png", 45.0f, 1.0f, OnCheckpoint));
    left.push_back(ResultButton("Review", "replay.png", 45.0f, 1.0f, OnReview));
    left.push_back(ResultButton("Rankings", "rankings.png", 45.0f, 1.0f, OnRankings));
    left[0]->SetName("Checkpoint");
    left[1]->SetName("Review");
    left[2]->SetName("Rankings");
    if (game.Checkpoints(game.LevelName(true)).empty())
        Disable(*left[0]);
    if (game.ModeIndex() == kMultiverseMode || game.ModeIndex() == kQuantumLoopMode)
        Disable(*left[1]);
    float widest = 0.0f;
    for (const auto& button : left)
        widest = std::max(widest, button->GetSizeVirtual().x);
    float y = DesignUnitsY(6.0f);
    for (auto& button : left) {
        button->SetSize(widest, kKeepCoordinate);
        button->SetPosition(margin, y);
        y += button->GetSizeVirtual().y + DesignUnitsY(3.0f);
        block->AddChild(button.release());
    }
    const float columnHeight = y - DesignUnitsY(3.0f);

    auto again = ResultButton("Play Again", "play_again.png", 70.0f, 1.2f, OnPlayAgain);
    auto next = ResultButton("Continue", "return.png", 70.0f, 1.2f, OnContinue);
    again->SetName("Play Again");
    next->SetName("Continue");
    const float rightHeight = again->GetSizeVirtual().y;
    const float top = DesignUnitsY(6.0f) + std::max(0.0f, (columnHeight - DesignUnitsY(6.0f) - rightHeight) / 2.0f);
    float x = margin + widest + DesignUnitsX(12.0f);
    again->SetPosition(x, top);
    x += again->GetSizeVirtual().x + DesignUnitsX(6.0f);
    next->SetPosition(x, top);
    block->AddChild(again.release());
    block->AddChild(next.release());
    float w = 0.0f, h = 0.0f;
    block->GetSize(&w, &h);
    block->SetSize(w + margin, h + DesignUnitsY(6.0f));
    return block;
}

void MatchResultVoice::Update()
{
    HudGame& game = CurrentHudGame();
    if (!titleShown_) {
        titleShown_ = true;
        HudWindow* hud = FindHud();
        PrimContainer* layer = hud ? hud->UpperLayer() : nullptr;
        if (layer) {
            auto bar = std::make_unique<FlimbsMenuBar>(CutUtf8(game.Level().title, kPopupTextLimit));
            bar->SetName(kTitleBarName);
            bar->enabled = 0;
            float w = 0.0f, h = 0.0f;
            bar->GetSize(&w, &h);
            bar->SetSize(w, h);
            bar->hAlign = kAlignHCentre;
            bar->SetPosition(500.0f, -h);
            auto slide = std::make_unique<AnimatePosition>(bar.get());
            slide->Start(500.0f, 0.0f, 600);
            layer->AddChild(bar.release());
            layer->AddChild(slide.release());
        }
    }
    if (!resultsShown_)
        FillComparison();
    VoiceBubble::Update();
}

void MatchResultVoice::FillComparison()
{
    HudGame& game = CurrentHudGame();
    const std::optional<StatsReply> reply = game.LevelStatsReply(game.LevelName(true));
    if (!reply)
        return;
    resultsShown_ = true;
    if (Primitive* rank = FindChild("RANK"))
        rank->SetText(StringPrintf("%d", reply->rank));
    if (Primitive* throbber = FindChild("THROBBER"))
        throbber->visible = 0;
    if (GameMode* mode = CurrentGameMode()) {
        const GroupStats local = mode->AddEndOfMatchStats(game.LocalGroup());
        for (size_t i = 0; i < local.rows.size(); ++i) {
            const GameStat& row = *local.rows[i];
            Primitive* item = FindChild(StringPrintf("STAT_%d", row.kind));
            auto* owner = item ? dynamic_cast<ResultRow*>(item->parent) : nullptr;
            if (!owner)
                continue;
            std::unique_ptr<GameStat> record = row.Clone();
            if (i < reply->records.size())
                record->value = reply->records[i].value;
            const std::string value =
                row.kind == kStatTime ? FormatGameTime(uint32_t(record->value), true) : record->GetValueText();
            owner->SetTipOf(item, owner->TipOf(item) + "\n" + TranslateText("World Record") + ": " + value);
        }
    }
    if (ComparesWithRecords(game.GameType()) && description_) {
        if (reply->newRecord)
            description_->SetText(TranslateText("Incredible! You have set a new WORLD RECORD!!"));
        else if (reply->tiedRecord)
            description_->SetText(TranslateText("Some of your stats tied the World Record!"));
    }
}

void MatchResultVoice::Close()
{
    if (HudWindow* hud = FindHud())
        if (PrimContainer* layer = hud->UpperLayer())
            if (Primitive* bar = layer->FindChild(kTitleBarName))
                bar->Deactivate();
    VoiceBubble::Close();
}

void MatchResultVoice::OnCheckpoint(Primitive*, Button* button)
{
    if (MatchResultVoice* voice = EnclosingResult(button))
        voice->Close();
    if (std::unique_ptr<PrimContainer> prompt = CurrentHudGame().MakeCheckpointPrompt(false, false))
        PositionOverHud(std::move(prompt), true);
}

void MatchResultVoice::OnReview(Primitive*, Button* button)
{
    HudGame& game = CurrentHudGame();
    const std::string level = game.LevelName(true);
    // The session's playback is a file name in the profile's Playbacks folder: anything
    // before the last separator is dropped, and names that could leave the folder refused.
    const std::string file = GetFileTitle(game.LastSessionPlayback(level), false);
    if (file.empty() || file == "." || file == "..") {
        WriteLog("No playback recorded for %s\n", level.c_str());
        game.ShowMessageBox("Error", "Error in playback!");
        return;
    }
    const std::string path = PlaybackFolder() + file;
    // The replay takes the screen: the pop-up and the level's session (its HUD with it) go
    // first, and leaving the replay leads to the planet.
    if (MatchResultVoice* voice = EnclosingResult(button))
        voice->Close();
    if (auto* session = dynamic_cast<FlimbsGameBase*>(FindOpenWindow("FlimbsGameBase")))
        session->Close();
    SetPlaybackReturnCallback(OnPlaybackEnd);
    try {
        game.StartPlayback(path);
    } catch (const std::exception& error) {
        SetPlaybackReturnCallback(nullptr);
        game.ReloadFlimbMasterList();
        WriteLog("%s\n", error.what());
        game.ShowMessageBox("Error", "Error in playback!");
    }
}

void MatchResultVoice::OnPlaybackEnd()
{
    CurrentHudGame().VisitPlanet();
}

void MatchResultVoice::OnRankings(Primitive*, Button*)
{
    HudGame& game = CurrentHudGame();
    const std::string url = std::string(kStatisticsSite) + RankingsPath(game.LevelName(false));
    if (!game.OpenUrl(url))
        game.ShowMessageBox(TranslateText("Rankings"), TranslateText("No web browser could be started for") + "\n" + url);
}

void MatchResultVoice::OnPlayAgain(Primitive*, Button* button)
{
    RestartLevel();
    if (MatchResultVoice* voice = EnclosingResult(button))
        voice->Close();
}

void MatchResultVoice::OnContinue(Primitive*, Button*)
{
    HudGame& game = CurrentHudGame();
    if (game.EditorTestPlay()) {
        game.StopMusic();
        game.LoadLevelIntoEditor(game.LevelName(true));
    } else {
        game.VisitPlanet();
    }
}

void MatchResultVoice::OnHide(Primitive* parent, Primitive* control)
{
    HidePopupForRestore(parent, control);
}

void MatchResultVoice::OnRestore(Primitive* parent, Button* button)
{
    RestoreHiddenPopup(parent, button);
}
