#pragma once

#include <string>
#include <vector>

// What the update file says: its first line is the latest version, the further lines are the
// release notes.
struct UpdateOffer {
    std::string LatestVersion; // empty for an empty file; no trailing white space
    std::string Notes;         // each shown note line after a CR LF
};

// What the "New Version!" message has room for: note lines, and characters in a line.
constexpr size_t kShownNoteLines = 10;
constexpr size_t kLongestShownLine = 80;

// Reads the file's lines as the files service gives them (ended at CR or CR LF). A line feed
// ends a line too, and a byte-order mark before the version is no part of it: servers and
// editors add both. So does any other character that starts a new line in the message (the
// Unicode line and paragraph separators). Only the notes that the message has room for are
// kept: at most kShownNoteLines, each cut to kLongestShownLine characters, then a line "..."
// when more follow.
UpdateOffer ReadUpdateOffer(const std::vector<std::string>& lines);

// A new version is offered when the first line differs from ours in any character; an empty
// first line offers nothing.
bool OffersNewVersion(const UpdateOffer& offer, const std::string& CurrentVersion);

// The question put to the user: the version line, the notes, an empty line, the question. The
// whole message fits an 800 x 600 screen, buttons included, however long the file's lines are.
std::string UpdatePrompt(const UpdateOffer& offer);
