#pragma once
// Writing, deleting and creating on path-space paths (path_space.h). Every operation is total:
// a path that cannot be mapped, a missing folder or a refusal of the system gives false or "".

#include <memory>
#include <string>
#include <string_view>

#include "platform/byte_sink.h"

namespace folvane {

// Writes a whole file as one step, whatever the bytes' length, without ever damaging the file
// it replaces. For a file (or nothing) at path, the bytes go to a new temporary file in the same
// folder, which is flushed to disk and then renamed over the old one; the replaced file's
// permission bits and owner (where the system lets the program set it) carry over. A file with
// several names (hard links) is instead written over in place once the new content is complete
// on disk, so every name shows the new content; should that fail, the new content still takes
// its place under path. A symbolic link keeps pointing where it did: the file it leads to is
// written (and made, for a link that leads nowhere yet). A character device or a pipe (a FIFO,
// "/dev/stdout", "/dev/null") is written into as it is, never replaced. A folder, a block
// device and a socket are refused. Not copyable; movable.
class ReplacingWriter final : public ByteSink {
  public:
    ReplacingWriter();
    ReplacingWriter(const ReplacingWriter&) = delete;
    ReplacingWriter& operator=(const ReplacingWriter&) = delete;
    ReplacingWriter(ReplacingWriter&& other) noexcept;
    ReplacingWriter& operator=(ReplacingWriter&& other) noexcept;
    // Abandons what was not committed.
    ~ReplacingWriter() override;

    // Prepares to write path; false when path cannot be written (refused kinds above, no such
    // folder, no permission, an unmapped path).
    bool Open(std::string_view path);
    // Adds bytes; false when writing failed (the writer is then abandoned).
    bool Write(std::string_view bytes) override;
    // Puts the written bytes in place; false when that failed, and whatever was at path before
    // is then left as it was (a device or pipe has had the bytes written so far).
    bool Commit();
    // Gives up: the temporary file is removed and path is left as it was.
    void Abandon();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Writes bytes to path through a ReplacingWriter; false when anything failed. An empty byte
// string gives an empty file.
bool WriteFileReplacing(std::string_view path, std::string_view bytes);

// Deletes the file at path; false when there is none or it cannot be deleted (also when path
// names a folder).
bool DeletePath(std::string_view path);

// True when folder exists as a folder and the program may create files in it.
bool CanWriteFolder(std::string_view folder);

// The user's configuration folder as a path-space path without a final "\": the absolute
// folder named by XDG_CONFIG_HOME, else ".config" in the home folder: HOME when it is an
// absolute path, else the account's home. "" when none of these is known.
std::string UserConfigFolder();

// The name of the program's own folder in UserConfigFolder(), as the host's programs name
// theirs: "folvane" on POSIX hosts, "Folvane" (in %APPDATA%) on Windows.
std::string_view ProgramConfigFolderName();

// The user's data folder as a path-space path without a final "\": the absolute folder named
// by XDG_DATA_HOME, else ".local\share" in the home folder (found as for UserConfigFolder).
// "" when none of these is known.
std::string UserDataFolder();

// Creates folder and any missing folders above it. True when folder exists as a folder
// afterwards (also when it existed before).
bool MakeFolders(std::string_view folder);

}  // namespace folvane
