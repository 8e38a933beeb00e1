#include "skin/core/data/constants.h"

#include <algorithm>
#include <iterator>

#include "platform/user/system_metrics.h"

namespace skin {

int32_t ScrollButtonSize = 0;

namespace {

struct ConstText {
    int id;
    std::string_view text;
};

// Sorted by number.
constexpr ConstText kTexts[] = {
    {58910, "Create"},
    {58911, "Select directory"},
    {58924, "Preview of the future hint window"},
    {58925, "Gradient"},
    {58926, "Background"},
    {58927, "Shadow"},
    {58928, "Bottom border"},
    {58929, "Top border"},
    {58930, "Color"},
    {58931, "Save to file as..."},
    {58932, "Load from file"},
    {58933, "Texture"},
    {58934, "Font"},
    {58935, "No picture available"},
    {58936, "Transparency"},
    {58937, "Offset"},
    {58938, "Percent"},
    {58939, "Pause hide (ms)"},
    {58940, "Max width"},
    {58941, "Corners radius"},
    {58942, "Vert. margin"},
    {58943, "Horiz. margin"},
    {58944, "Arrow length"},
    {58945, "Blur"},
    {58946, "Bevel width"},
    {58947, "Style :"},
    {58948, "Preserved settings :"},
    {58949, "Hint Designer Form"},
    {58950, "TsFrameAdapter adapter must be placed on the handled frame"},
    {58951, "Hex - "},
    {58952, "Decimal - "},
    {58953, "Blue :"},
    {58954, "Green :"},
    {58955, "Red :"},
    {58956, "Color"},
    {58957, "Additional colors :"},
    {58958, "Main palette :"},
    {58959, "Define colors"},
    {58960, "Add to custom colors set"},
    {58961, "Listbox (%s) style must be virtual in order to set Count"},
    {58962, "Error setting %s.Count"},
    {58963, "(internal)"},
    {58964, "Available skins"},
    {58970, "File open"},
    {58976, "Close"},
    {58977, "Maximize"},
    {58978, "Minimize"},
    {58979, "Size"},
    {58980, "Move"},
    {58981, "Restore"},
    {58990, "&Help"},
    {58991, "Cancel"},
    {58992, "OK"},
};
static_assert(std::size(kTexts) == 53);

}  // namespace

std::string_view LoadConstText(int id) {
    const auto it = std::lower_bound(std::begin(kTexts), std::end(kTexts), id,
                                     [](const ConstText& t, int v) { return t.id < v; });
    return it != std::end(kTexts) && it->id == id ? it->text : std::string_view();
}

void InitConstUnit() {
    static bool done = false;
    if (done) return;
    done = true;
    ScrollButtonSize = win::GetSystemMetrics(win::SM_CXHSCROLL);
}

}  // namespace skin
