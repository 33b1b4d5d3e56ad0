// Control ids of the import dialog (182), opened by the main window's
// "导入数据".
#pragma once

namespace ids::import {
enum : int {
    Template = 182,
    Path = 1381,        // the file chosen (read-only)
    Choose = 1382,      // "选择文件"
    Kind = 1383,        // 保单, 潜力客户, 团队成员, 日程
    Sheet = 1384,       // the workbook's sheets
    HeaderRow = 1385,   // the row that holds the headers
    Columns = 1386,     // the file's columns and their fields
    Field = 1387,       // the selected column's field, or "不导入"
    Matching = 1388,    // conflicts and what is not imported
    Check = 1389,       // "检查"
    Preview = 1390,     // every row, its state and reasons
    Counts = 1391,      // how many rows of each state
    Skip = 1392,        // keys in the book already: 跳过
    Update = 1393,      // 更新
    KeepBoth = 1394,    // 都保留
    SaveRefused = 1395, // "保存未导入的行"
    Start = 1396,       // "开始导入"
    Close = 1397,       // "关闭"
};
} // namespace ids::import
