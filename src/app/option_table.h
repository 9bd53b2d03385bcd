// The one table of the player's options: each row names an option, its value, its help, its config key and
// what it does, and the parser, --help, the config reader and the documentation tests all read it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "app/command_line.h"

namespace glowfield {

// The command line as it is read: what the options set, and the display choices checked together at the end.
struct OptionParse {
    Options& options;
    bool window = false;
    bool exclusive = false;
    bool hosted = false;
};

using ApplyOption = void (*)(const std::string& value, OptionParse& parse, std::string& error);

// Adding an option is adding a row (and the documentation the tests ask for): the parser finds it by name or
// alias, reads its value when it has one, and calls apply with it; --help prints its help under its name.
struct OptionRow {
    const char* name;  // "--seed"
    const char* alias; // a one-dash spelling that screen saver hosts write, or nullptr
    const char* value; // the value's name in the help ("S", "FILE"); nullptr: a flag, which takes no value
    const char* help;  // the help text; '\n' starts an indented line; {last} is the last entry's index
    const char* configKey; // the config file's key for the same choice, or nullptr
    bool endsParsing;      // the run only answers this option: the options after it are not read
    ApplyOption apply;     // sets the options from the value (empty for a flag), or sets error
};

std::span<const OptionRow> optionTable();

// The row of an option's name (with two dashes), or nullptr.
const OptionRow* findOption(const std::string& name);

// The row whose one-dash alias this argument is (for an option with a value, also as alias=value), or
// nullptr.
const OptionRow* findAlias(const std::string& argument);

// Whether a config file may hold this key.
bool isConfigKey(const std::string& key);

// An X11 window id as screen saver hosts write it: decimal or 0x hexadecimal, not 0.
bool parseWindowId(const std::string& text, uint32_t& id);

// The options part of --help, one row after another.
std::string optionsHelp();

} // namespace glowfield
