// WildMatch against a slow matcher that follows the rule word for word: "*" matches any run of
// characters, "?" exactly one, every other character itself. The reference recurses over
// (name position, pattern position) and remembers each answer, so it is quadratic at worst;
// texts are bounded so that both stay well inside libFuzzer's -timeout, which in turn catches a
// product matcher that turns exponential.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "tests/fuzz/fuzz_support.h"

namespace folvane::fuzz {
namespace {

// Characters as the program reads them from UTF-8 (a stray byte is one character of its own).
std::u32string Characters(std::string_view text) {
    std::u32string characters;
    for (std::size_t pos = 0; pos < text.size();)
        characters += DecodeUtf8(text, pos);
    return characters;
}

class ReferenceMatcher {
  public:
    ReferenceMatcher(std::u32string name, std::u32string pattern)
        : name_(std::move(name)),
          pattern_(std::move(pattern)),
          memo_((name_.size() + 1) * (pattern_.size() + 1)) {}

    bool Matches() { return From(0, 0); }

  private:
    // Whether name from i on is matched by pattern from j on.
    bool From(std::size_t i, std::size_t j) {
        std::optional<bool>& known = memo_[i * (pattern_.size() + 1) + j];
        if (!known) known = Decide(i, j);
        return *known;
    }

    bool Decide(std::size_t i, std::size_t j) {
        if (j == pattern_.size()) return i == name_.size();
        if (pattern_[j] == U'*') return From(i, j + 1) || (i < name_.size() && From(i + 1, j));
        if (i == name_.size()) return false;
        return (pattern_[j] == U'?' || pattern_[j] == name_[i]) && From(i + 1, j + 1);
    }

    std::u32string name_;
    std::u32string pattern_;
    std::vector<std::optional<bool>> memo_;
};

// Longer texts add nothing the matcher has not met in shorter ones.
constexpr std::size_t kMaxBytes = 512;

}  // namespace
}  // namespace folvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace folvane::fuzz;
    Input input(data, size);
    const std::string_view name = input.Piece('\0');
    const std::string_view pattern = input.Rest();
    if (name.size() > kMaxBytes || pattern.size() > kMaxBytes) return -1;
    ReferenceMatcher reference(Characters(name), Characters(pattern));
    const bool expected = reference.Matches();
    Require(folvane::WildMatch(name, pattern) == expected, "WildMatch agrees with the reference", [&] {
        return "name \"" + Visible(name) + "\", pattern \"" + Visible(pattern) + "\": expected " +
               (expected ? "a match" : "no match");
    });
    return 0;
}
