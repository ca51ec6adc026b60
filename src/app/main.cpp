// The program: the window when there is a display to show it on and the
// window is built in, else the batch mode, which then also draws pictures
// when Qt is built in.
#include "app/command_line.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#ifdef TESSARIN_HAS_WINDOW
#include "export/map_export.h"
#include "export/offscreen_application.h"
#include "export/shepard_export.h"
#include "explorer_window/figure_export.h"
#include "window/run_window.h"
#endif

namespace {

[[maybe_unused]] bool hasDisplay()
{
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    const char *x11 = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    return (platform && *platform) || (x11 && *x11) || (wayland && *wayland);
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    tessarin::WindowRunner window;
    tessarin::PictureWriters pictures;
#ifdef TESSARIN_HAS_WINDOW
    pictures.prepare = [] { return std::make_shared<tessarin::OffscreenApplication>(); };
    pictures.takes = tessarin::IsMapImageName;
    pictures.map = tessarin::WriteMapImage;
    pictures.shepard = tessarin::WriteShepardImage;
    pictures.takesFigure = tessarin::IsFigureName;
    pictures.figure = tessarin::WriteFigureFile;
    if (hasDisplay())
        window = [argc, argv](const std::string &file, bool named) {
            return tessarin::RunWindow(argc, argv, file, named);
        };
#endif
    return tessarin::RunCommandLine(args, window, pictures);
}
