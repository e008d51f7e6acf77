#include "app/ConsoleSettings.h"

#include "app/ConsoleParam.h"

namespace {

using Type = ConsoleParamType;

ConsoleParam g_loadTheSky("loadthesky", Type::Int, "1", "load and draw the sky");
ConsoleParam g_showSky("showsky", Type::Int, "1", "draw the sky");
ConsoleParam g_showBack("showback", Type::Int, "1", "draw the backgrounds");
ConsoleParam g_reverseWheel("reverseWheel", Type::Int, "1", "wheel down selects to the right");
ConsoleParam g_touchscreen("touchscreen", Type::Int, "0", "touchscreen mode");
ConsoleParam g_centerOnSelect("center_on_select", Type::Int, "0", "centre the view on the selected flimb");
ConsoleParam g_useBelt("use_belt", Type::Int, "1", "give morphs with the action belt");
ConsoleParam g_edgeScrollSpeed("edge_scroll_speed", Type::Int, "30", "edge scrolling speed");
ConsoleParam g_positiveScroll("positive_scroll", Type::Int, "0", "right-click scrolling follows the mouse");
ConsoleParam g_positiveScrollScale("positive_scroll_scale", Type::Float, "1.5", "scrolling scaling factor");
ConsoleParam g_autoOrient("auto_orient", Type::Int, "1", "orient the camera with the selected flimb");
ConsoleParam g_avatar("avatar", Type::Text, "avatar-00.jpg", "the avatar picture");

} // namespace

ConsoleParam& MovieModeParam()
{
    static ConsoleParam moviemode("moviemode", Type::Int, "0", "movie mode: 1 record, 2 play back, 3 capture");
    return moviemode;
}

// Registered with the others at start, whoever asks first.
[[maybe_unused]] static ConsoleParam& g_movieMode = MovieModeParam();
