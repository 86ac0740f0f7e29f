#include "app/status_texts.h"

#include "render/size_text.h"

namespace folvane {

std::string ProgressText(int64_t folders, int64_t files) {
    return "フォルダ " + FormatThousands(folders) + " ・ ファイル " + FormatThousands(files);
}

}  // namespace folvane
