// Lists of entries as the viewer writes them: indices, ranges and names, and the entries left to play.
#include "app/effect_list.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "app/options.h"
#include "effects/catalogue.h"

namespace glowfield {

namespace {

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool allDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

bool sameLetters(const char* name, const std::string& text) {
    size_t at = 0;
    for (; name[at] != '\0' && at < text.size(); ++at) {
        if (std::tolower(static_cast<unsigned char>(name[at])) !=
            std::tolower(static_cast<unsigned char>(text[at]))) {
            return false;
        }
    }
    return name[at] == '\0' && at == text.size();
}

// An index written in digits; any number past the last entry, however long, is out of range.
std::string parseIndex(const std::string& digits, int& index) {
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || value >= static_cast<unsigned long long>(effectCount)) {
        return "no effect " + digits + " (0 to " + std::to_string(effectCount - 1) + ")";
    }
    index = static_cast<int>(value);
    return {};
}

std::string parseItem(const std::string& item, std::vector<int>& entries) {
    if (allDigits(item)) {
        int index = 0;
        std::string error = parseIndex(item, index);
        if (error.empty()) {
            entries.push_back(index);
        }
        return error;
    }
    if (const size_t dash = item.find('-'); dash != std::string::npos) {
        const std::string from = trimmed(item.substr(0, dash));
        const std::string to = trimmed(item.substr(dash + 1));
        if (allDigits(from) && allDigits(to)) {
            int first = 0;
            int last = 0;
            if (std::string error = parseIndex(from, first); !error.empty()) {
                return error;
            }
            if (std::string error = parseIndex(to, last); !error.empty()) {
                return error;
            }
            if (first > last) {
                return "the range " + quoted(item) + " runs backwards";
            }
            for (int index = first; index <= last; ++index) {
                entries.push_back(index);
            }
            return {};
        }
    }
    // A name copied from --list with its marks.
    std::string name = item;
    for (const std::string mark : {" (listens)", " (flashes)"}) {
        if (name.size() > mark.size() && name.compare(name.size() - mark.size(), mark.size(), mark) == 0) {
            name = trimmed(name.substr(0, name.size() - mark.size()));
        }
    }
    for (int index = 0; index < effectCount; ++index) {
        if (const char* entryName = effectName(index); entryName && sameLetters(entryName, name)) {
            entries.push_back(index);
            return {};
        }
    }
    return "no effect is named " + quoted(item) + " (see --list)";
}

} // namespace

std::string parseEffectList(const std::string& text, std::vector<int>& entries) {
    if (trimmed(text).empty()) {
        return {};
    }
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string item =
            trimmed(text.substr(start, comma == std::string::npos ? comma : comma - start));
        if (item.empty()) {
            return "an empty item in " + quoted(text);
        }
        if (std::string error = parseItem(item, entries); !error.empty()) {
            return error;
        }
        if (comma == std::string::npos) {
            return {};
        }
        start = comma + 1;
    }
}

std::vector<int> playableEntries(const std::optional<std::vector<int>>& only,
                                 const std::optional<std::vector<int>>& skip) {
    std::vector<bool> plays(effectCount, !only);
    for (const int index : only.value_or(std::vector<int>{})) {
        plays[index] = true;
    }
    for (const int index : skip.value_or(std::vector<int>{})) {
        plays[index] = false;
    }
    std::vector<int> entries;
    for (int index = 0; index < effectCount; ++index) {
        if (plays[index]) {
            entries.push_back(index);
        }
    }
    return entries;
}

std::vector<int> flashingEntries() {
    std::vector<int> entries;
    for (const CatalogueEntry& row : catalogue) {
        if (row.marks & flashesMark) {
            entries.push_back(row.index);
        }
    }
    return entries;
}

std::vector<int> switchingEntries(const std::vector<int>& playable, bool allowFlashing,
                                  const std::vector<int>& flashing) {
    std::vector<int> entries = playable.empty() ? playableEntries(std::nullopt, std::nullopt) : playable;
    if (allowFlashing) {
        return entries;
    }
    std::vector<int> calm;
    for (const int index : entries) {
        if (std::find(flashing.begin(), flashing.end(), index) == flashing.end()) {
            calm.push_back(index);
        }
    }
    return calm.empty() ? entries : calm;
}

std::string compactEffectList(const std::vector<int>& entries) {
    std::string text;
    for (size_t at = 0; at < entries.size();) {
        size_t end = at + 1;
        while (end < entries.size() && entries[end] == entries[end - 1] + 1) {
            ++end;
        }
        if (!text.empty()) {
            text += ',';
        }
        text += std::to_string(entries[at]);
        if (end - at > 1) {
            text += '-';
            text += std::to_string(entries[end - 1]);
        }
        at = end;
    }
    return text;
}

} // namespace glowfield
