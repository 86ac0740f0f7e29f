#include "render/output_file.h"

#include "platform/cp932.h"
#include "platform/file_system.h"
#include "platform/file_write.h"
#include "settings/path_utils.h"

namespace folvane {

namespace {

std::string ChooseOutputFile(UiPort& ui, std::string_view filter, std::string_view proposedName) {
    FileChooserRequest request;
    request.title = std::string(kOutputChooserTitle);
    request.filter = std::string(filter);
    request.filterIndex = 1;
    request.flags = kOutputChooserFlags;
    request.fileName = std::string(proposedName);
    return ui.ChooseSaveFile(request).fileName;
}

bool ReplaceIsConfirmed(UiPort& ui, std::string_view fileName) {
    MessageRequest question;
    question.text = FileNamePart(fileName) + " ファイルは既に存在します。\r\n上書きしますか？";
    question.title = std::string(kApplicationTitle);
    question.buttons = MsgButtons::YesNo;
    question.icon = MsgIcon::Exclamation;
    question.defaultButton = MsgDefault::Second;
    return ui.ShowMessage(question) == MsgAnswer::Yes;
}

}  // namespace

std::string OutTextFileNameSelect(UiPort& ui, std::string_view proposedName) {
    return ChooseOutputFile(ui, kTextListingFilter, proposedName);
}

std::string OutHtmlFileNameSelect(UiPort& ui, std::string_view proposedName) {
    return ChooseOutputFile(ui, kHtmlListingFilter, proposedName);
}

bool TextFileSave(UiPort& ui, std::string_view fileName, const FileContent& content, bool silent) {
    if (IsFile(fileName)) {
        if (!silent && !ReplaceIsConfirmed(ui, fileName)) return false;
        // The new file replaces the old one by a rename, which the file's own read-only bit
        // would not stop; a read-only listing is kept as the person protected it.
        const auto attributes = GetAttributes(fileName);
        if (!attributes || (*attributes & kAttrReadOnly) != 0) return true;
    }
    ReplacingWriter writer;
    if (!writer.Open(fileName)) return true;
    BufferedSink buffered(writer);
    if (!content(buffered) || !buffered.Flush()) return true;
    return !writer.Commit();
}

bool TextFileSave(UiPort& ui, std::string_view fileName, std::string_view text, bool silent) {
    return TextFileSave(
        ui, fileName, [&](ByteSink& sink) { return sink.Write(ToCp932(text)); }, silent);
}

}  // namespace folvane
