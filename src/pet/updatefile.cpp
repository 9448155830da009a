#include "updatefile.h"

#include <string_view>
#include <utility>

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLeftOut = "...";
// Besides the line feed (and a carriage return), what starts a new line in the message box:
// the Unicode line and paragraph separators, and the two characters Qt's text takes for the
// edges of a frame (U+FDD0, U+FDD1).
constexpr std::string_view kWideLineEnds[] = {"\xE2\x80\xA8", "\xE2\x80\xA9", "\xEF\xB7\x90",
                                              "\xEF\xB7\x91"};

// Where the first line end in text starts, and how many bytes it takes.
std::pair<size_t, size_t> firstLineEnd(std::string_view text) {
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\n' || text[at] == '\r') return {at, 1};
        for (const std::string_view end : kWideLineEnds)
            if (text.substr(at).starts_with(end)) return {at, end.size()};
    }
    return {std::string_view::npos, 0};
}

// Calls `take` with each line of the file, a line end inside a line (a line feed, a line
// separator) ending a line as well, until it answers false. A line end that ends the file ends
// its last line; no empty line follows it.
template <class Take> void eachLine(const std::vector<std::string>& lines, Take take) {
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view rest = lines[i];
        const bool last = i + 1 == lines.size();
        for (;;) {
            const auto [end, length] = firstLineEnd(rest);
            if (end == std::string_view::npos) {
                if (!take(rest)) return;
                break;
            }
            if (!take(rest.substr(0, end))) return;
            rest.remove_prefix(end + length);
            if (last && rest.empty()) break;
        }
    }
}

// How many bytes the character at the start of text takes, as Qt reads UTF-8: each byte that
// starts no well-formed sequence is shown as a character of its own.
size_t characterLength(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(0);
    // The length the lead byte announces, and the range of the byte after it: no overlong
    // forms, no surrogates, nothing past U+10FFFF.
    size_t length = 1;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    }
    if (length == 1 || text.size() < length || byte(1) < low || byte(1) > high) return 1;
    for (size_t i = 2; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 1;
    return length;
}

std::string_view withoutTrailingSpace(std::string_view text) {
    const size_t end = text.find_last_not_of(" \t\r\n\v\f");
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

// At most kLongestShownLine characters; a longer line ends in "..." and is never cut inside
// the bytes of one character.
std::string shown(std::string_view line) {
    size_t characters = 0, cut = 0;
    for (size_t at = 0; at < line.size(); at += characterLength(line.substr(at))) {
        if (characters == kLongestShownLine - kLeftOut.size()) cut = at;
        if (++characters > kLongestShownLine)
            return std::string(line.substr(0, cut)) + std::string(kLeftOut);
    }
    return std::string(line);
}
} // namespace

UpdateOffer ReadUpdateOffer(const std::vector<std::string>& lines) {
    UpdateOffer offer;
    bool first = true;
    size_t notes = 0;
    eachLine(lines, [&](std::string_view line) {
        if (first) {
            first = false;
            if (line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
            offer.LatestVersion = withoutTrailingSpace(line);
            return true;
        }
        // The rest of a long file would only make the message taller than the screen.
        if (notes == kShownNoteLines) {
            offer.Notes += "\r\n" + std::string(kLeftOut);
            return false;
        }
        ++notes;
        offer.Notes += "\r\n" + shown(line);
        return true;
    });
    return offer;
}

bool OffersNewVersion(const UpdateOffer& offer, const std::string& CurrentVersion) {
    return !offer.LatestVersion.empty() && offer.LatestVersion != CurrentVersion;
}

std::string UpdatePrompt(const UpdateOffer& offer) {
    return "Version " + shown(offer.LatestVersion) + " is available now" + offer.Notes +
           "\r\n\r\nWould you like to download it now?";
}
