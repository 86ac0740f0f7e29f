#include "engine/listing_run.h"

#include <utility>

#include "engine/folder_read.h"
#include "engine/tree_body.h"
#include "render/entry_columns.h"
#include "render/html.h"
#include "render/output_file.h"
#include "render/text_width.h"
#include "render/title_blocks.h"
#include "settings/path_utils.h"
#include "settings/settings_fields.h"

namespace folvane {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsHtml(const Settings& settings) {
    return settings.ListType == 1;
}

MsgAnswer AskYesNo(UiPort& ui, std::string text, MsgIcon icon) {
    MessageRequest question;
    question.text = std::move(text);
    question.title = std::string(kApplicationTitle);
    question.buttons = MsgButtons::YesNo;
    question.icon = icon;
    question.defaultButton = MsgDefault::Second;
    return ui.ShowMessage(question);
}

void Tell(UiPort& ui, std::string text, MsgIcon icon) {
    MessageRequest message;
    message.text = std::move(text);
    message.title = std::string(kApplicationTitle);
    message.icon = icon;
    ui.ShowMessage(message);
}

// The base of the proposed file name for a listed drive or share root: "srv_share" for
// \\srv\share\, "Cドライブ" for C:\.
std::string RootBaseName(std::string_view drive) {
    if (drive.starts_with("\\\\")) return ReplaceAll(drive.substr(2), "\\", "_");
    return AsciiUpper(drive.substr(0, 1)) + "ドライブ";
}

// The path text after its drive part, as the run decides whether a root is listed.
std::string_view AfterDrive(std::string_view path, std::string_view drive) {
    return path.substr(drive.size());
}

}  // namespace

struct ListingRunner::RootLines {
    std::string text;      // the line(s) of the listed folder itself, each ended by CR LF
    std::string baseName;  // the base of the proposed output file name
};

ListingRunner::ListingRunner(Settings& settings, const CharTable& chars, RunState& run, RunOptions& options,
                             UiPort& ui, CaptionTimer& caption, RunWindow& window, std::string templateFolder,
                             std::function<DateTime()> now)
    : settings_(settings),
      chars_(chars),
      run_(run),
      options_(options),
      ui_(ui),
      caption_(caption),
      window_(window),
      templateFolder_(std::move(templateFolder)),
      now_(std::move(now)) {}

void ListingRunner::cmdExec_Click() {
    if (run_.BusyFlag) {
        // A second press while the walk lets events run: only record the wish to stop.
        if (AskYesNo(ui_, std::string(kCancelQuestion), MsgIcon::Information) == MsgAnswer::Yes)
            run_.CancelFlag = kCancelByUser;
        return;
    }
    window_.ShowBusy(true);
    run_.BusyFlag = true;
    run_.CancelFlag = kNoCancel;
    run_.FilterPatterns.clear();
    run_.FoldersRead = 0;
    run_.FilesRead = 0;
    outcome_ = ListingOutcome::None;
    savedFile_.clear();

    const std::string comboText = window_.FilterComboText();
    if (settings_.FilterFlg && !TrimBlanks(comboText).empty()) {
        AddFilterText(settings_, comboText);
        window_.RefreshFilterList();
        run_.FilterPatterns = SplitArguments(AsciiLower(settings_.FilterText.front()));
    }

    const std::string folderText = window_.FolderText();
    const int result = StartListing(TrimBlanks(folderText));
    if (programEnding_) return;
    if (result == -1) {
        outcome_ = ListingOutcome::FolderNotFound;
        Tell(ui_, std::string(kFolderNotFoundMessage) + "\r\n\r\n\"" + folderText + "\"",
             MsgIcon::Exclamation);
    }
    window_.ShowBusy(false);
    run_.BusyFlag = false;
    if (options_.QuitAfterRun) window_.ExitProgram();
}

int ListingRunner::StartListing(std::string_view folderText) {
    std::string path(TrimBlanks(folderText));
    if (path.empty() || HasReservedName(path)) return -1;
    path = FullPath(path);
    if (path.empty()) return -1;
    path = TruePath(path, static_cast<uint32_t>(settings_.SearchAttr));
    if (path.empty()) return -1;
    if (!settings_.LongNameFlg) {
        // The short form exists for every existing path; should the system still give none, the
        // long form lists the same folder.
        std::string shortForm = ShortPath(path);
        if (!shortForm.empty()) path = std::move(shortForm);
    }
    ListMake(WithBackslash(path));
    caption_.SetPendingCaption("Folvane");
    if (run_.CancelFlag == kCancelByClosing) {
        programEnding_ = true;
        window_.EndProgramNow();
    }
    return 0;
}

void ListingRunner::ListMake(std::string_view rootPath) {
    ListingContext context{settings_, chars_, run_, ui_, caption_};
    std::string body;
    FolderTotals totals;
    TreeBody(context, body, "", rootPath, totals);
    if (run_.CancelRequested()) {
        outcome_ = ListingOutcome::Cancelled;
        return;
    }
    caption_.SetPendingCaption("Folvane  -  " + std::string(rootPath));
    RootLines root = MakeRootLines(context, rootPath, totals);
    const std::string text = ListingText(rootPath, totals, std::move(body), root.text);
    const std::string saved = SaveListing(text, root.baseName);
    if (saved.empty()) {
        outcome_ = ListingOutcome::NotSaved;
        return;
    }
    outcome_ = ListingOutcome::Saved;
    savedFile_ = saved;
    settings_.LastOutPathName = CappedText(&Settings::LastOutPathName, WithBackslash(ParentFolder(saved)));
    if (settings_.AutoOpenFlg && IsFile(saved)) ui_.OpenWithAssociatedProgram(saved);
}

ListingRunner::RootLines ListingRunner::MakeRootLines(ListingContext& context, std::string_view rootPath,
                                                      const FolderTotals& totals) {
    const std::string drive = DrivePart(rootPath);
    RootLines root;
    if (AfterDrive(rootPath, drive) == "\\") {
        FileEntry entry;
        VolumeInfo volume;
        const std::string label = GetVolumeInfo(rootPath, volume) == 0 ? volume.label : std::string();
        entry.Name = std::string(rootPath) + " < " + label + " >";
        entry.Crc = totals.CrcSum;
        root.text = RootLine(settings_, rootPath, entry) + std::string(kCrLf);
        root.baseName = RootBaseName(drive);
        return root;
    }
    const std::string folder = WithoutBackslash(rootPath);
    const std::string name = FileNamePart(folder);
    const std::string parent = WithBackslash(ParentFolder(folder));
    FileEntry entry = ReadEntry(context, parent, name);
    entry.Crc = totals.CrcSum;
    root.baseName = name;

    const int nameWidth = settings_.NameWidth;
    const std::vector<std::string> pieces = StrWidth(entry.Name) > nameWidth && nameWidth > 1
                                                ? WrapLines(entry.Name, nameWidth)
                                                : std::vector<std::string>();
    if (pieces.empty()) {
        root.text = EntryLine(settings_, "", entry.Name, parent, entry) + std::string(kCrLf);
        return root;
    }
    root.text = EntryLine(settings_, "", pieces.front(), parent, entry) + std::string(kCrLf);
    const bool linked = entry.IsFolder() ? settings_.FolderLinkFlg : settings_.FileLinkFlg;
    for (std::size_t k = 1; k < pieces.size(); ++k) {
        const std::string piece = CutWidth(pieces[k], nameWidth);
        if (!IsHtml(settings_)) {
            root.text += piece;
        } else {
            root.text += linked ? PathLink(piece, parent + entry.Name) : HtmlEscape(piece);
        }
        root.text += kCrLf;
    }
    return root;
}

std::string ListingRunner::MarginLines(bool bodyIsEmpty) const {
    const CharRole role = bodyIsEmpty ? CharRole::Blank : CharRole::Vertical;
    const std::string piece = CutWidth(chars_.Piece(settings_.CharType, role), settings_.NameWidth);
    const std::string line = IsHtml(settings_) ? "<TT>" + HtmlEscape(piece) + "</TT>" : piece;
    std::string lines;
    for (int count = 2; count <= settings_.Lines; ++count)
        lines += line + std::string(kCrLf);
    return lines;
}

std::string ListingRunner::ListingText(std::string_view rootPath, const FolderTotals& totals,
                                       std::string body, std::string_view rootText) const {
    std::string fullBody = std::string(rootText) + MarginLines(body.empty()) + body;
    if (fullBody.ends_with(kCrLf)) fullBody.resize(fullBody.size() - kCrLf.size());

    ListParts parts;
    parts[0] = Title(settings_, rootPath, now_());
    parts[1] = Midashi(settings_);
    parts[2] = PartLine(settings_, chars_);
    parts[3] = std::move(fullBody);
    parts[4] = SummaryText(settings_, totals) + std::string(kCrLf) + Futter(settings_, rootPath);
    if (IsHtml(settings_)) return HtmlPage(parts, templateFolder_, settings_.HtmlName);

    const std::string crlf(kCrLf);
    return parts[0] + crlf + crlf + parts[1] + crlf + parts[2] + crlf + parts[3] + crlf + parts[2] + crlf +
           parts[4] + crlf;
}

// Saves text, asking as the run's options say; the name of the file written (or kept after a
// declined replace), "" when the person gave up.
std::string ListingRunner::SaveListing(const std::string& text, const std::string& baseName) {
    if (options_.SilentSave && !options_.OutFileName.empty()) {
        std::string name = options_.OutFileName;
        while (TextFileSave(ui_, name, text, true)) {
            if (!RetryAfterFailure(name)) return "";
            name = ChooseFile(name);
            if (name.empty()) return "";
        }
        return name;
    }
    const std::string suffix = IsHtml(settings_) ? "のリスト.htm" : "のリスト.txt";
    const std::string proposed =
        options_.OutFileName.empty() ? settings_.LastOutPathName + baseName + suffix : options_.OutFileName;
    for (;;) {
        const std::string choice = ChooseFile(proposed);
        if (choice.empty()) return "";
        if (!TextFileSave(ui_, choice, text, false)) return choice;
        if (!RetryAfterFailure(choice)) return "";
    }
}

bool ListingRunner::RetryAfterFailure(const std::string& fileName) {
    return AskYesNo(ui_, "\"" + fileName + "\"への保存に失敗しました。\r\n再試行しますか？",
                    MsgIcon::Critical) == MsgAnswer::Yes;
}

std::string ListingRunner::ChooseFile(std::string_view proposedName) {
    return IsHtml(settings_) ? OutHtmlFileNameSelect(ui_, proposedName)
                             : OutTextFileNameSelect(ui_, proposedName);
}

}  // namespace folvane
