#include "updatefile.h"

UpdateOffer ReadUpdateOffer(const std::vector<std::string>& lines) {
    UpdateOffer offer;
    if (lines.empty()) return offer;
    offer.LatestVersion = lines.front();
    for (size_t i = 1; i < lines.size(); ++i)
        offer.Notes += "\r\n" + lines[i];
    return offer;
}

bool OffersNewVersion(const UpdateOffer& offer, const std::string& CurrentVersion) {
    return !offer.LatestVersion.empty() && offer.LatestVersion != CurrentVersion;
}

std::string UpdatePrompt(const UpdateOffer& offer) {
    return "Version " + offer.LatestVersion + " is available now" + offer.Notes +
           "\r\n\r\nWould you like to download it now?";
}
