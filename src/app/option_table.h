// The one table of the player's options: each row names an option, its value, its help, its config key and
// what it does, and the parser, --help, the config reader and the documentation tests all read it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "app/options.h"

namespace glowfield {

// The command line as it is read: what the options set, and the display choices checked together at the end.
struct OptionParse {
    Options& options;
    bool window = false;
    bool exclusive = false;
    bool hosted = false;
};

// Adding an option is adding a row, and its lines in README.md and the manual page (a test asks for them).
struct OptionRow {
    const char* name;  // "--seed"
    const char* alias; // a one-dash spelling that screen saver hosts write, or nullptr
    const char* value; // the value's name in the help ("S", "FILE"); nullptr: a flag, which takes no value
    const char* help;  // the help text; '\n' starts an indented line; {last} is the last entry's index
    const char* configKey; // the config file's key for the same choice, or nullptr (settings.cpp reads it)
    bool endsParsing;      // the run only answers this option: the options after it are not read
    // Sets the options from the value (empty for a flag), or sets error.
    void (*apply)(const std::string& value, OptionParse& parse, std::string& error);
};

std::span<const OptionRow> optionTable();

// The row of an option's name, or nullptr; the row whose one-dash alias an argument is (with a value, also as
// alias=value), or nullptr.
const OptionRow* findOption(const std::string& name);
const OptionRow* findAlias(const std::string& argument);

// Whether a config file may hold this key.
bool isConfigKey(const std::string& key);

// An X11 window id as screen saver hosts write it: decimal or 0x hexadecimal, not 0.
bool parseWindowId(const std::string& text, uint32_t& id);

// The options part of --help, one row after another.
std::string optionsHelp();

// The longest automatic switching period, a day; a period must be above 0 (at least one frame is played).
inline constexpr double maxSwitchSeconds = 86400.0;
bool validSwitchSeconds(double seconds);

// Once every option is read and the display mode is known: refuses a monitor for a window, a hosted or a
// headless run, and resolves --only and --skip into options.playable. Returns the error line, or an empty
// string.
std::string finishViewerOptions(Options& options);

} // namespace glowfield
