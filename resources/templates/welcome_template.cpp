#include "welcome_template.h"

#include "welcome_ids.h"

namespace tmpl {

const Window& WelcomeTemplate() {
    static const Window w{
        ids::welcome::Template,
        356,
        371,
        "宋体",
        9,
        {
            {0, Kind::Picture, 0, 0, 356, 371, ":/pictures/135.png", Style::Center},
        },
    };
    return w;
}

} // namespace tmpl
