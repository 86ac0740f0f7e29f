#pragma once
// A small registry of keys and values, as the file manager's context-menu entry needs it.
// Keys are paths below a root ("Directory\Shell\Folvane"), compared ignoring ASCII letter case
// and kept in the spelling that created them; each key holds named values (names compared the
// same way), "" being its default value. The key path "" is the root itself; a path with an
// empty component ("a\\b", "a\") names no key.
//
// On Windows this is the system registry. On POSIX it is a persistent store of our own in the
// user's data folder (folvane/registry.ini); a new store starts with the class keys Directory
// and Drive. A bridge makes the desktop's file managers offer the folder verbs it holds
// (applications/folvane-<verb>.desktop, kio/servicemenus/folvane-<verb>.desktop). A store that
// cannot be read or written makes every call fail.

#include <cstdint>
#include <string>
#include <string_view>

namespace folvane {

enum class RegistryRoot { ClassesRoot };

enum RegistryType : int { kRegString = 1, kRegNumber = 4 };

// Creates the key when it does not exist (with any missing parents) and writes the value: a
// string (type kRegString, text) or a 32-bit number (type kRegNumber, number). Any other type
// writes nothing and creates no key. True only when the value was written.
bool RegValueSet(RegistryRoot root, std::string_view key, std::string_view valueName, int type,
                 std::string_view text, uint32_t number = 0);

// The value of a key: for kRegString the text up to its first NUL ("" when the key exists but
// the value does not), for kRegNumber the number in decimal. fallback when the key cannot be
// opened or on any other failure (a missing number, a value of the other type, another type
// asked for, an unusable store).
std::string RegValueGet(RegistryRoot root, std::string_view key, std::string_view valueName, int type,
                        std::string_view fallback);

// Deletes the sub-key name of parent (with its values); it must have no sub-keys of its own.
// True when deleted; false when the parent cannot be opened, the sub-key does not exist or
// still has sub-keys, or the store cannot be written.
bool RegKeyDelete(RegistryRoot root, std::string_view parent, std::string_view name);

// Test hook: hostFolder (a host path) stands in for the home folder with no XDG_DATA_HOME, so
// the store and the desktop files go below hostFolder/.local/share; "" returns to the user's
// folders.
void SetRegistryHomeForTesting(std::string hostFolder);

}  // namespace folvane
