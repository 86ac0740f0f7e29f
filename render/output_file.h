#pragma once
// The output file of a listing: the name questions for text and HTML listings, and the writer
// that asks before it replaces an existing file.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/byte_sink.h"
#include "platform/ui_port.h"

namespace folvane {

inline constexpr std::string_view kApplicationTitle = "Folvane";
inline constexpr std::string_view kOutputChooserTitle = "出力ﾌｧｲﾙの選択";
inline constexpr std::string_view kTextListingFilter = "ﾃｷｽﾄﾌｧｲﾙ(txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*";
inline constexpr std::string_view kHtmlListingFilter = "HTMLファイル(htm)|*.htm;*.html|全てのﾌｧｲﾙ(*.*)|*.*";
// Hide the read-only box, the path must exist, Explorer style, long names.
inline constexpr uint32_t kOutputChooserFlags = 0x280804;

// Lets the person choose where to save a text listing, proposing proposedName; "" on cancel.
std::string OutTextFileNameSelect(UiPort& ui, std::string_view proposedName);

// Lets the person choose where to save an HTML listing, proposing proposedName; "" on cancel.
std::string OutHtmlFileNameSelect(UiPort& ui, std::string_view proposedName);

// Puts the bytes of a file into a sink; false when it could not make them all.
using FileContent = std::function<bool(ByteSink&)>;

// Writes the bytes content makes to fileName. An existing file is replaced only after the
// person agrees (unless silent); a read-only one is never replaced. The bytes go through a
// ReplacingWriter (file_write.h), so a failure never damages the previous file. Returns true
// when the write FAILED; false when the file was written or the person declined to replace it.
bool TextFileSave(UiPort& ui, std::string_view fileName, const FileContent& content, bool silent);

// The same for text, converted to code page 932.
bool TextFileSave(UiPort& ui, std::string_view fileName, std::string_view text, bool silent);

}  // namespace folvane
