#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The settings file's format: "[section]" lines, each followed by "key=value" lines, UTF-8.
// Values are kept exactly, spaces included; backslash escapes stand for backslash, CR, LF and
// NUL (and in names for the characters that would end a name). Section and key names compare
// without regard to ASCII case, as the settings store's callers expect. Lines of any other kind
// (comments, keys above every section, lines made by hand) are passed over when reading and
// kept as they stand when writing. The functions work on the text the caller holds, copying
// nothing more of it than the value asked for; the caller reads the whole file for each read
// and each save.
namespace ini {

// The value of the key in the section; the last one when the file holds it more than once.
std::optional<std::string> find(std::string_view text, std::string_view section,
                                std::string_view key);

// A change of the file's text, given as what to write in order: stretches of the old text and
// the one new text.
struct Edit {
    struct Part {
        size_t from = 0, to = 0; // [from, to) of the old text, or the new text when from > to
    };
    std::vector<Part> parts;
    std::string added;

    // The pieces to write, pointing into `text` and into this edit.
    std::vector<std::string_view> pieces(std::string_view text) const;
};

// The text with the key set to the value and every other line as it was: the key's line is
// replaced where it first stands (later ones for the same key are dropped), or a line is added
// after the section's last key, or the section is added at the end.
Edit withValue(std::string_view text, std::string_view section, std::string_view key,
               std::string_view value);

} // namespace ini
