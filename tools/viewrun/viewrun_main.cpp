// viewrun: a sample level played headless with flimbs added at work, printing the world
// state hash every 100 updates, so that a run that draws every frame through the game view
// (shakes included) can be compared line by line with one that never draws.
//
//   viewrun <level> [--draw] [--updates N] [--flimbs N] [--pictures PREFIX]
//           [--look X,Y] [--picture FILE] [--parallax PREFIX]
//
// --pictures (with --draw) writes the last frame at the view rotations 3 pi / 2 and pi / 2,
// zoomed to show the whole level, to PREFIX-270.png and PREFIX-90.png. --look (with --draw)
// settles the view on the world point X,Y at one world pixel per screen pixel before the
// first update; --picture writes the last frame as it was drawn, mid-action.
// --parallax (with --draw) writes the last frame one world pixel to a screen pixel, centred
// on (900, 690), to PREFIX-0.png, and again with the view panned 200 pixels to the right to
// PREFIX-200.png: scenery behind the landscape moves less than the terrain.
#include "tools/headless/HelpOption.h"
#include "tools/viewrun/ViewScene.h"

#include "world/StateHash.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr uint32_t kFrameMs = 16;
constexpr uint32_t kShakeEvery = 60;

// Settles the view at the rotation, the whole level in sight, and writes the frame.
bool WriteTurnedPicture(ViewScene& scene, float rotation, const std::string& path)
{
    GameViewPort& view = *scene.View();
    view.SetRotation(rotation, -1, -1.0f);
    view.ZoomToFit();
    view.shakeAmplitude = 0.0f;
    for (int i = 0; i < 120; ++i)
        scene.Frame(kFrameMs);
    return scene.WritePicture(path);
}

// The view at one world pixel per screen pixel on the point, settled, and its frame written.
bool WritePannedPicture(ViewScene& scene, int x, int y, const std::string& path)
{
    GameViewPort& view = *scene.View();
    scene.ShowMinimap(false);
    view.SetRotation(3.0f * kPi / 2.0f, -1, -1.0f);
    view.SetZoom(view.GetNormalZoom(), -1);
    view.PanTo(x, y, -1, false);
    view.shakeAmplitude = 0.0f;
    for (int i = 0; i < 30; ++i)
        scene.Frame(kFrameMs);
    return scene.WritePicture(path);
}

} // namespace

int main(int argc, char** argv)
{
    if (AsksForHelp(argc, argv))
        return PrintHelp("usage: viewrun <level> [--draw] [--updates N] [--flimbs N] [--pictures PREFIX] "
                                "[--look X,Y] [--picture FILE] [--parallax PREFIX]\n");
    bool draw = false;
    uint32_t updates = 500;
    int flimbs = 120;
    std::string level, pictures, picture, parallax;
    bool look = false;
    float lookX = 0.0f, lookY = 0.0f;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--draw"))
            draw = true;
        else if (!std::strcmp(argv[i], "--updates") && i + 1 < argc)
            updates = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (!std::strcmp(argv[i], "--flimbs") && i + 1 < argc)
            flimbs = int(std::strtol(argv[++i], nullptr, 10));
        else if (!std::strcmp(argv[i], "--pictures") && i + 1 < argc)
            pictures = argv[++i];
        else if (!std::strcmp(argv[i], "--picture") && i + 1 < argc)
            picture = argv[++i];
        else if (!std::strcmp(argv[i], "--look") && i + 1 < argc)
            look = std::sscanf(argv[++i], "%f,%f", &lookX, &lookY) == 2;
        else if (!std::strcmp(argv[i], "--parallax") && i + 1 < argc)
            parallax = argv[++i];
        else if (argv[i][0] != '-' && level.empty())
            level = argv[i];
        else
            level.clear(), argc = 0;
    }
    if (level.empty()) {
        std::fprintf(stderr, "usage: viewrun <level> [--draw] [--updates N] [--flimbs N] [--pictures PREFIX] "
                             "[--look X,Y] [--picture FILE] [--parallax PREFIX]\n");
        return 2;
    }
    try {
        ViewScene scene(level);
        scene.AddFlimbs(flimbs);
        if (draw)
            scene.OpenView();
        if (draw && look) {
            scene.ShowMinimap(false);
            GameViewPort& view = *scene.View();
            view.LookAt(lookX, lookY, view.GetNormalZoom());
            for (int i = 0; i < 60; ++i) // the zoom and pan animations take half a second
                scene.Frame(kFrameMs);
        }
        for (uint32_t update = 1; update <= updates; ++update) {
            scene.Update();
            if (draw) {
                if (update % kShakeEvery == 0)
                    scene.View()->Shake();
                scene.Frame(kFrameMs);
            }
            if (update % 100 == 0)
                std::printf("update %u hash %016llx flimbs %d\n", update,
                            static_cast<unsigned long long>(WorldStateHash()), World().clock.flimbsInPlay);
        }
        if (draw && !picture.empty() && !scene.WritePicture(picture)) {
            std::fprintf(stderr, "viewrun: cannot write %s\n", picture.c_str());
            return 1;
        }
        if (draw && !pictures.empty()) {
            if (!WriteTurnedPicture(scene, 3.0f * kPi / 2.0f, pictures + "-270.png") ||
                !WriteTurnedPicture(scene, kPi / 2.0f, pictures + "-90.png")) {
                std::fprintf(stderr, "viewrun: cannot write %s-*.png\n", pictures.c_str());
                return 1;
            }
        }
        if (draw && !parallax.empty()) {
            if (!WritePannedPicture(scene, 900, 690, parallax + "-0.png") ||
                !WritePannedPicture(scene, 1100, 690, parallax + "-200.png")) {
                std::fprintf(stderr, "viewrun: cannot write %s-*.png\n", parallax.c_str());
                return 1;
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "viewrun: %s\n", error.what());
        return 1;
    }
    return 0;
}
