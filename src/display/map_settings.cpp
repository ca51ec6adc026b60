#include "display/map_settings.h"

#include "base/lenient_number.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

namespace tessarin {

namespace {

double valueOf(const std::string &text, const char *box)
{
    try {
        return LenientNumber(text);
    } catch (const TessarinError &) {
        throw TessarinError(std::string(box) + ": " + ShownText(text) + " is too large a number");
    }
}

int colourIndex(const std::string &text, const char *box)
{
    const double value = valueOf(text, box);
    short index;
    try {
        index = RoundToShort(value, "the colour");
    } catch (const TessarinError &) {
        throw TessarinError(std::string(box) + ": " + ShownText(text) + " is not a colour index 0 to 15");
    }
    if (index < 0 || index > 15)
        throw TessarinError(std::string(box) + ": " + ShownText(text) + " is not a colour index 0 to 15");
    return index;
}

} // namespace

void ApplyMapSettings(DrawingSurface &graph, const DisplaySettings &settings, SettingsForm form)
{
    graph.setBackColor(colourIndex(settings.backText, "Graph Background"));

    const double fore = valueOf(settings.foreText, "Digit color");
    const bool apply = form == SettingsForm::StartUp ? fore > -1.0 : (fore >= 0.0 && fore <= 15.0);
    if (apply)
        graph.setForeColor(colourIndex(settings.foreText, "Digit color"));

    graph.setFontName("Times New Roman");
    const float size = static_cast<float>(valueOf(settings.fontText, "Fontsize"));
    try {
        graph.setFontSize(size);
    } catch (const TessarinError &error) {
        throw TessarinError("Fontsize: " + ShownText(settings.fontText) + " " + error.what());
    }
}

} // namespace tessarin
