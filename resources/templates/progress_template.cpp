#include "progress_template.h"

#include "progress_ids.h"

namespace tmpl {

const Window& ProgressTemplate() {
    namespace id = ids::progress;
    static const Window w{id::Template,
                          220,
                          80,
                          "宋体",
                          9,
                          {
                              {id::Text, Kind::Static, 10, 24, 200, 12},
                              {id::Bar, Kind::Custom, 10, 40, 200, 12},
                              {id::Cancel, Kind::Button, 160, 60, 50, 14, "取消"},
                          }};
    return w;
}

} // namespace tmpl
