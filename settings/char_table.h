#pragma once
// The tree-line character table: the strings drawn in front of entry names and the rule
// string of separator lines, in two sets (0 half-width, 1 full-width) of five roles.

#include <array>
#include <string>

namespace folvane {

enum class CharRole { Blank = 0, Vertical = 1, Branch = 2, End = 3, Rule = 4 };

inline constexpr int kCharSets = 2;
inline constexpr int kCharRoles = 5;

struct CharTable {
    std::array<std::array<std::string, kCharRoles>, kCharSets> strings;

    // The string of a role in a set; a set other than 0 counts as 1.
    const std::string& Piece(int set, CharRole role) const {
        return strings[set == 0 ? 0 : 1][static_cast<int>(role)];
    }

    friend bool operator==(const CharTable&, const CharTable&) = default;
};

// Writes the ten default strings into table.
void SetCharTableDefaults(CharTable& table);

}  // namespace folvane
