#include "engine/listing_run.h"

#include <utility>

#include "engine/folder_read.h"
#include "engine/listing_facts.h"
#include "engine/tree_body.h"
#include "platform/person_path.h"
#include "platform/text.h"
#include "render/body_store.h"
#include "render/listing_writer.h"
#include "render/output_file.h"
#include "settings/path_utils.h"
#include "settings/settings_fields.h"

namespace folvane {

namespace {

constexpr std::string_view kCrLf = "\r\n";

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
// \\srv\share\, "Cドライブ" for C:\, and "ルートフォルダ" for a root that the person reads as the
// host's own root folder, which has no drive letter to name.
std::string RootBaseName(std::string_view rootPath, std::string_view drive) {
    if (drive.starts_with("\\\\")) return ReplaceAll(drive.substr(2), "\\", "_");
    if (DrivePart(PathForPerson(rootPath)).empty()) return std::string(kHostRootBaseName);
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

ListingRunner::ListingRunner(Settings& settings, const CharTable& chars, RunState& run,
                             const RunOptions& options, UiPort& ui, CaptionTimer& caption,
                             std::string templateFolder, std::function<DateTime()> now)
    : settings_(settings),
      chars_(chars),
      run_(run),
      options_(options),
      ui_(ui),
      caption_(caption),
      templateFolder_(std::move(templateFolder)),
      now_(std::move(now)) {}

ListingResult ListingRunner::Run(const ListingRequest& request) {
    run_.BusyFlag = true;
    run_.CancelFlag = kNoCancel;
    run_.FilterPatterns.clear();
    run_.ResetProgress();
    result_ = ListingResult{};
    UseFilter(request);
    if (StartListing(TrimBlanks(request.folderText)) == -1) {
        result_.outcome = ListingOutcome::FolderNotFound;
        Tell(ui_, std::string(kFolderNotFoundMessage) + "\r\n\r\n\"" + request.folderText + "\"",
             MsgIcon::Exclamation);
    }
    run_.BusyFlag = false;
    return std::move(result_);
}

void ListingRunner::UseFilter(const ListingRequest& request) {
    if (!settings_.FilterFlg || TrimBlanks(request.filterText).empty()) return;
    AddFilterText(settings_, request.filterText);
    if (request.onFilterHistoryChanged) request.onFilterHistoryChanged();
    run_.FilterPatterns = SplitArguments(AsciiLower(settings_.FilterText.front()));
}

int ListingRunner::StartListing(std::string_view folderText) {
    std::string path = PathFromPerson(TrimBlanks(folderText));
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
    return 0;
}

void ListingRunner::ListMake(std::string_view rootPath) {
    ListingContext context{settings_, chars_, run_, ui_, caption_};
    // The form of the listing is decided here, once: the writer makes every line of it.
    const std::unique_ptr<ListingWriter> writer = ListingWriter::For(settings_, chars_, templateFolder_);
    BodyStore body;
    FolderTotals totals;
    TreeBody(context, *writer, body, "", rootPath, totals);
    if (run_.CancelRequested()) {
        result_.outcome = ListingOutcome::Cancelled;
        return;
    }
    caption_.SetPendingCaption(std::string(kCaptionLead) + PathForPerson(rootPath));
    const ListingFacts facts = GatherListingFacts(rootPath);
    const RootLines root = MakeRootLines(context, *writer, rootPath, totals, facts);
    ListingParts parts;
    parts.header = writer->Title(rootPath, now_(), facts);
    parts.heading = writer->Midashi();
    parts.separator = writer->PartLine();
    const CharRole margin = body.Size() == 0 ? CharRole::Blank : CharRole::Vertical;
    parts.bodyHead = root.text + writer->MarginLines(chars_.Piece(settings_.CharType, margin));
    parts.bodyTail = &body;
    parts.footer = writer->SummaryText(totals) + std::string(kCrLf) + writer->Futter(facts);
    const std::string saved = SaveListing(
        *writer, [&](ByteSink& sink) { return writer->Compose(parts, sink); }, root.baseName);
    if (saved.empty()) {
        result_.outcome = ListingOutcome::NotSaved;
        return;
    }
    result_.outcome = ListingOutcome::Saved;
    result_.savedFile = saved;
    settings_.LastOutPathName = CappedText(&Settings::LastOutPathName, WithBackslash(ParentFolder(saved)));
    if (settings_.AutoOpenFlg && IsFile(saved)) ui_.OpenWithAssociatedProgram(saved);
}

ListingRunner::RootLines ListingRunner::MakeRootLines(ListingContext& context, const ListingWriter& writer,
                                                      std::string_view rootPath, const FolderTotals& totals,
                                                      const ListingFacts& facts) {
    const std::string drive = DrivePart(rootPath);
    RootLines root;
    if (AfterDrive(rootPath, drive) == "\\") {
        FileEntry entry;
        entry.Name = PathForPerson(rootPath) + " < " + (facts.volume ? facts.volume->label : "") + " >";
        entry.Crc = totals.CrcSum;
        root.text = writer.RootLine(rootPath, entry) + std::string(kCrLf);
        root.baseName = RootBaseName(rootPath, drive);
        return root;
    }
    const std::string folder = WithoutBackslash(rootPath);
    const std::string name = FileNamePart(folder);
    const std::string parent = WithBackslash(ParentFolder(folder));
    FileEntry entry = ReadEntry(context, parent, name);
    entry.Crc = totals.CrcSum;
    root.baseName = name;
    root.text = writer.ListedFolderLines(parent, entry);
    return root;
}

// Saves the listing content makes, asking as the run's options say; the name of the file
// written (or kept after a declined replace), "" when the person gave up.
std::string ListingRunner::SaveListing(const ListingWriter& writer, const FileContent& content,
                                       const std::string& baseName) {
    if (options_.SilentSave && !options_.OutFileName.empty()) {
        std::string name = options_.OutFileName;
        while (TextFileSave(ui_, name, content, true)) {
            if (!RetryAfterFailure(name)) return "";
            name = writer.ChooseOutputFile(ui_, name);
            if (name.empty()) return "";
        }
        return name;
    }
    const std::string proposed = options_.OutFileName.empty() ? settings_.LastOutPathName + baseName +
                                                                    std::string(writer.FileNameSuffix())
                                                              : options_.OutFileName;
    for (;;) {
        const std::string choice = writer.ChooseOutputFile(ui_, proposed);
        if (choice.empty()) return "";
        if (!TextFileSave(ui_, choice, content, false)) return choice;
        if (!RetryAfterFailure(choice)) return "";
    }
}

bool ListingRunner::RetryAfterFailure(const std::string& fileName) {
    return AskYesNo(ui_, "\"" + PathForPerson(fileName) + "\"への保存に失敗しました。\r\n再試行しますか？",
                    MsgIcon::Critical) == MsgAnswer::Yes;
}

}  // namespace folvane
