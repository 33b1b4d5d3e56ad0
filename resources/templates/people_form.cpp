#include "people_form.h"

#include "people_list_ids.h"

namespace tmpl::people {

namespace {
constexpr int kLeftLabel = 13, kLeftField = 49, kRightLabel = 106, kRightField = 143;
constexpr int kLeftWidth = 54, kRightWidth = 53, kWideWidth = 147;

// Labels are 30 units wide; four Chinese characters need 32.
int LabelWidth(const char* text) {
    int chinese = 0;
    for (const char* p = text; *p; ++p)
        if (static_cast<unsigned char>(*p) >= 0xE0) ++chinese; // the first byte of a three-byte character
    return chinese >= 4 ? 32 : 30;
}
} // namespace

void Form::Group(const char* caption, int y, int height) {
    c_.push_back({0, Kind::GroupBox, 7, y, 196, height, caption});
    y_ = y + 16;
}

void Form::Label(int x, const char* text, int width) {
    c_.push_back({0, Kind::Static, x, y_, width ? width : LabelWidth(text), 11, text});
}

// Fields stand two units above their label's line, one unit taller.
void Form::Put(int id, Kind kind, int x, int width, const std::vector<const char*>* presets) {
    c_.push_back({id, kind, x, y_ - 2, width, 12, "", Style::None, presets ? *presets : std::vector<const char*>{}});
}

void Form::Cell(const Field& f, int labelX, int fieldX, int fieldWidth) {
    if (!f.label) return;
    Label(labelX, f.label);
    Put(f.id, f.kind, fieldX, fieldWidth, f.presets);
}

void Form::Row(const Field& left, const Field& right) {
    Cell(left, kLeftLabel, kLeftField, kLeftWidth);
    Cell(right, kRightLabel, kRightField, kRightWidth);
    Next();
}

void Form::Wide(const Field& f) {
    Cell(f, kLeftLabel, kLeftField, kWideWidth);
    Next();
}

void Form::Date(const char* label, int yearId, int monthId, int dayId) {
    Label(kLeftLabel, label);
    Put(yearId, Kind::Combo, 49, 40);
    Label(91, "年", 10);
    Put(monthId, Kind::List, 102, 30, &presets::months);
    Label(134, "月", 10);
    Put(dayId, Kind::List, 146, 30, &presets::days);
    Label(178, "日", 10);
    Next();
}

void Form::Address(const char* label, int addressId, int postcodeId) {
    Label(kLeftLabel, label);
    Put(addressId, Kind::Edit, kLeftField, 96);
    Label(148, "邮编", 18);
    Put(postcodeId, Kind::Edit, 166, 30);
    Next();
}

void Form::Measures(int heightId, int weightId) {
    Label(kLeftLabel, "身高");
    Put(heightId, Kind::Edit, kLeftField, 40);
    Label(91, "cm", 12);
    Label(kRightLabel, "体重");
    Put(weightId, Kind::Edit, kRightField, 39);
    Label(184, "kg", 12);
    Next();
}

void Form::Remarks(int id, int height) {
    Label(kLeftLabel, "备注");
    c_.push_back({id, Kind::Memo, kLeftField, y_ - 2, kWideWidth, height});
    Next();
}

void Form::ListAndButtons(int listId) {
    namespace id = ids::people_list;
    c_.push_back({listId, Kind::ListView, 207, 10, 188, 345});
    c_.push_back({id::Add, Kind::Button, 207, 369, 40, 14, "添加"});
    c_.push_back({id::Modify, Kind::Button, 250, 369, 40, 14, "修改"});
    c_.push_back({id::Delete, Kind::Button, 293, 369, 40, 14, "删除"});
    c_.push_back({id::Report, Kind::Button, 336, 369, 65, 14, "输出WORD报表"});
}

} // namespace tmpl::people
