#pragma once
// The group-statistics row of the end-of-match result: the rank and a throbber while the
// statistics service has not answered, then one icon and one value per statistic, with
// the statistic's name as the value's tooltip. Its items are named "RANK", "THROBBER",
// "STAT_ICON_<n>" and "STAT_<n>" (n: the statistic kind). The multiplayer end-of-match
// screen builds the same rows once it exists; this is the row the result pop-up shows.
#include "gui/PrimContainer.h"

#include <memory>
#include <string>

struct GroupStats;
class ToolTip;

class ResultRow : public PrimContainer {
public:
    // showRecordMarks: the rank and the throbber are shown (the local group of a match that
    // compares with the world records).
    ResultRow(const GroupStats& entry, bool firstRow, uint32_t textColour, bool showRecordMarks, bool isLocal,
              bool singleGroup);

    // The tooltip of an item of the row (empty when it has none).
    std::string TipOf(const Primitive* item) const;
    void SetTipOf(const Primitive* item, const std::string& tip);

private:
    ToolTip* tips_ = nullptr;
};
