#include "settings/char_table.h"

namespace folvane {

void SetCharTableDefaults(CharTable& table) {
    table.strings[0] = {"   ", "|  ", "|- ", "+- ", "-"};
    table.strings[1] = {"   ", "│ ", "├ ", "└ ", "─"};
}

}  // namespace folvane
