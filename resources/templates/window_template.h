// Declarative window templates: one table per window, one builder (app/).
// Rectangles are in dialog units; captions are UTF-8.
#pragma once

#include <vector>

namespace tmpl {

enum class Kind {
    Static,   // text label
    GroupBox, // frame with caption, drawn behind the controls it surrounds
    Edit,     // single-line text
    Memo,     // multi-line text
    Combo,    // editable combo: free text plus presets
    List,     // drop-down list: a choice of a preset only
    Check,    // two-state check box
    Radio,    // option button; Style::Group starts a new group
    Button,   // push button
    Picture,  // image label; caption names a resource (":/pictures/...")
    ListView, // CSkinListCtrl report list
    Tree,     // navigation tree
    Custom,   // made by the window itself (e.g. the calendar)
};

namespace Style {
enum : unsigned {
    None = 0,
    Center = 1u << 0,  // centred text
    Right = 1u << 1,   // right-aligned text
    Group = 1u << 2,   // first option button of a group
    Default = 1u << 3, // default push button
    ReadOnly = 1u << 4,
    Hidden = 1u << 5,      // created invisible
    MultiSelect = 1u << 6, // list view: several rows may be selected
    Disabled = 1u << 7,
};
}

struct Control {
    int id; // control id; its widget's objectName; 0 for unnamed texts
    Kind kind;
    int x, y, w, h; // dialog units
    const char* caption = "";
    unsigned style = Style::None;
    std::vector<const char*> presets = {}; // combo and list items, in order
};

struct Window {
    int id;            // template id; the window's objectName
    int width, height; // dialog units
    const char* font;  // face name as the windows ask for it ("宋体", "新宋体")
    int pointSize;
    std::vector<Control> controls;
};

// Preset lists shared by several windows.
namespace presets {
extern const std::vector<const char*> months;    // "01".."12"
extern const std::vector<const char*> days;      // "01".."31"
extern const std::vector<const char*> twoDigits; // "01".."99"
extern const std::vector<const char*> sexes;     // "男", "女"
extern const std::vector<const char*> marital;   // "已婚", ...
extern const std::vector<const char*> nations;
extern const std::vector<const char*> educations;
extern const std::vector<const char*> relations;
extern const std::vector<const char*> insurers;
extern const std::vector<const char*> paymentMethods;
extern const std::vector<const char*> benefitMethods;
extern const std::vector<const char*> benefitAges;
extern const std::vector<const char*> incomeBands;
} // namespace presets

} // namespace tmpl

// Templates are built on first use (function-local statics), so the preset
// lists above are always ready when a table refers to them.
