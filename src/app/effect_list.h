// Lists of entries as the viewer writes them for --only, --skip and the config file: indices, ranges and
// names, and the entries left to play once both are applied.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace glowfield {

// Adds the entries of a comma-separated list to entries: indices (0 to 241), ranges such as "1-24", and names
// as --list prints them, in any case and with their spaces. Spaces around an item do not count; an item of
// digits alone is always an index, so the entries named with digits are chosen by their index. A list of
// nothing but spaces adds nothing. Returns the problem with the first bad item, or an empty string.
std::string parseEffectList(const std::string& text, std::vector<int>& entries);

// The entries that may play: those of only (every entry when there is none) that skip does not name,
// ascending, each once.
std::vector<int> playableEntries(const std::optional<std::vector<int>>& only,
                                 const std::optional<std::vector<int>>& skip);

// The entries the catalogue marks as flashing, ascending.
std::vector<int> flashingEntries();

// The entries that automatic switching, space and the tour may choose: those of playable (empty: every entry)
// without the flashing ones, unless flashing is allowed or they are all that playable holds.
std::vector<int> switchingEntries(const std::vector<int>& playable, bool allowFlashing,
                                  const std::vector<int>& flashing = flashingEntries());

// Entries written back as a list that parseEffectList reads, neighbours joined into ranges: "0-5,7,9-241".
std::string compactEffectList(const std::vector<int>& entries);

} // namespace glowfield
