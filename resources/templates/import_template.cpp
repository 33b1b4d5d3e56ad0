#include "import_template.h"

#include "import_ids.h"

namespace tmpl {

const Window& ImportTemplate() {
    using K = Kind;
    namespace id = ids::import;
    static const Window w{
        id::Template,
        520,
        332,
        "宋体",
        9,
        {
            {0, K::Static, 8, 24, 40, 10, "文件"},
            {id::Path, K::Edit, 50, 22, 368, 12, "", Style::ReadOnly},
            {id::Choose, K::Button, 426, 21, 86, 14, "选择文件(&O)..."},
            {0, K::Static, 8, 40, 40, 10, "导入为"},
            {id::Kind, K::List, 50, 38, 62, 12, "", Style::None, {"保单", "潜力客户", "团队成员", "日程"}},
            {0, K::Static, 122, 40, 30, 10, "工作表"},
            {id::Sheet, K::List, 154, 38, 104, 12},
            {0, K::Static, 268, 40, 30, 10, "标题行"},
            {id::HeaderRow, K::List, 300, 38, 212, 12},
            {0, K::GroupBox, 5, 54, 510, 120, "列的对应"},
            {id::Columns, K::ListView, 10, 66, 328, 96},
            {0, K::Static, 352, 68, 60, 10, "对应字段"},
            {id::Field, K::List, 352, 80, 158, 12},
            {id::Matching, K::Static, 352, 98, 158, 48},
            {id::Check, K::Button, 352, 152, 70, 14, "检查(&C)"},
            {0, K::GroupBox, 5, 178, 510, 124, "检查结果（双击或按 F2 修改单元格，回车确认）"},
            {id::Preview, K::ListView, 10, 190, 492, 90},
            {id::Counts, K::Static, 10, 288, 500, 10},
            {0, K::Static, 8, 312, 60, 10, "已有的记录"},
            {id::Skip, K::Radio, 64, 311, 36, 12, "跳过", Style::Group},
            {id::Update, K::Radio, 102, 311, 36, 12, "更新"},
            {id::KeepBoth, K::Radio, 140, 311, 44, 12, "都保留"},
            {id::SaveRefused, K::Button, 250, 310, 90, 14, "保存未导入的行(&S)"},
            {id::Start, K::Button, 346, 310, 80, 14, "开始导入(&I)", Style::Default},
            {id::Close, K::Button, 432, 310, 80, 14, "关闭"},
        }};
    return w;
}

} // namespace tmpl
