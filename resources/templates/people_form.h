// The form both people pages (potential clients, team members) are laid out
// in: group boxes down the left, each a stack of rows 16 units apart, a row
// holding one wide field or a label and field in each of two columns (labels
// at 13 and 106, fields at 49 and 143); the list and the four buttons on the
// right. The person fields keep their caption, kind and presets on both pages;
// each page says where each one stands and under which id.
#pragma once

#include "window_template.h"

#include <vector>

namespace tmpl::people {

// One field with its label.
struct Field {
    const char* label = nullptr; // no label: an empty cell
    int id = 0;
    Kind kind = Kind::Edit;
    const std::vector<const char*>* presets = nullptr;
};

// The person fields.
inline Field Name(int id) { return {"姓名", id}; }
inline Field Sex(int id) { return {"性别", id, Kind::List, &presets::sexes}; }
inline Field Nation(int id) { return {"民族", id, Kind::Combo, &presets::nations}; }
inline Field IdNumber(int id) { return {"身份证号", id}; }
inline Field Marital(int id) { return {"婚况", id, Kind::List, &presets::marital}; }
inline Field Mobile(int id) { return {"手机", id}; }
inline Field Email(int id) { return {"EMAIL", id}; }
inline Field HomePhone(int id) { return {"家庭电话", id}; }
inline Field WorkPhone(int id) { return {"单位电话", id}; }
inline Field Occupation(int id) { return {"职业", id}; }
inline Field Income(int id) { return {"年收入", id, Kind::Combo, &presets::incomeBands}; }
inline Field Education(int id) { return {"文化程度", id, Kind::Combo, &presets::educations}; }
inline Field Hobby(int id) { return {"爱好", id}; }

class Form {
public:
    explicit Form(std::vector<Control>& controls) : c_(controls) {}

    // A group box from `y` down `height` units; the rows that follow are its own.
    void Group(const char* caption, int y, int height);
    // One row: a field in the left column and, if given, one in the right.
    void Row(const Field& left, const Field& right = {});
    // One row: a field across both columns.
    void Wide(const Field& f);
    // One row: year combo, month list and day list with their unit labels.
    void Date(const char* label, int yearId, int monthId, int dayId);
    void BirthDate(int yearId, int monthId, int dayId) { Date("出生日期", yearId, monthId, dayId); }
    // One row: an address and its postcode.
    void Address(const char* label, int addressId, int postcodeId);
    // One row: height in cm and weight in kg.
    void Measures(int heightId, int weightId);
    // The remarks memo, `height` units tall, ending the group.
    void Remarks(int id, int height);
    // The list of records and the add, modify, delete and report buttons (ids::people_list).
    void ListAndButtons(int listId);

private:
    void Label(int x, const char* text, int width = 0);
    void Put(int id, Kind kind, int x, int width, const std::vector<const char*>* presets = nullptr);
    void Cell(const Field& f, int labelX, int fieldX, int fieldWidth);
    void Next() { y_ += 16; }

    std::vector<Control>& c_;
    int y_ = 0; // the label line of the current row
};

} // namespace tmpl::people
