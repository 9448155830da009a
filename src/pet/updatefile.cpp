#include "updatefile.h"

#include <string_view>

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLeftOut = "...";

// Calls `take` with each line of the file, a line feed ending a line as well, until it
// answers false. A line feed that ends the file ends its last line; no empty line follows it.
template <class Take> void eachLine(const std::vector<std::string>& lines, Take take) {
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view rest = lines[i];
        const bool last = i + 1 == lines.size();
        for (;;) {
            const size_t lf = rest.find('\n');
            if (lf == std::string_view::npos) {
                if (!take(rest)) return;
                break;
            }
            if (!take(rest.substr(0, lf))) return;
            rest.remove_prefix(lf + 1);
            if (last && rest.empty()) break;
        }
    }
}

std::string_view withoutTrailingSpace(std::string_view text) {
    const size_t end = text.find_last_not_of(" \t\r\n\v\f");
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

// At most kLongestShownLine characters; a longer line ends in "..." and is never cut inside
// the bytes of one UTF-8 character.
std::string shown(std::string_view line) {
    if (line.size() <= kLongestShownLine) return std::string(line);
    size_t cut = kLongestShownLine - kLeftOut.size();
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
        --cut;
    return std::string(line.substr(0, cut)) + std::string(kLeftOut);
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
