// Control ids of the client file page (template 181).
#pragma once

namespace ids::client_file {
enum : int {
    Template = 181,
    Search = 1301, // find by name, pinyin, card number or phone
    Find = 1302,
    Status = 1303,   // "共 N 人", "找到 N 人"
    Progress = 1304, // the people being gathered, in place of the status
    Review = 1305,   // "保单检视报告": the PDF
    Print = 1306,
    People = 1307,
    // The person's data.
    Name = 1308,
    IdNumber = 1309,
    Sex = 1310,
    Birth = 1311,
    Mobile = 1312,
    HomePhone = 1313,
    WorkPhone = 1314,
    Occupation = 1315,
    Address = 1316,
    Source = 1317,
    Totals = 1318,
    Policies = 1319,
    Linked = 1320,
    Grid = 1321, // cover category by person
    Next90 = 1322,
    Keywords = 1323, // the category keyword table
};
} // namespace ids::client_file
