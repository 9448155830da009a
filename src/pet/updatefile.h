#pragma once

#include <string>
#include <vector>

// What the update file says: its first line is the latest version, the further lines are the
// release notes.
struct UpdateOffer {
    std::string LatestVersion; // empty for an empty file
    std::string Notes;         // each further line after a CR LF
};

UpdateOffer ReadUpdateOffer(const std::vector<std::string>& lines);

// A new version is offered when the first line differs from ours in any character; an empty
// first line offers nothing.
bool OffersNewVersion(const UpdateOffer& offer, const std::string& CurrentVersion);

// The question put to the user: the version line, the notes, an empty line, the question.
std::string UpdatePrompt(const UpdateOffer& offer);
