#include "Form1.h"

#include "platform/errors.h"
#include "platform/web.h"
#include "updatefile.h"

#include <cstdio>

namespace {
// The check is a courtesy: whatever keeps it from its answer (no network, no update site, a
// program folder that belongs to root) lets the pet start as if there were no news. A build
// that names no web site has nothing to check, which is no news worth a line either.
void skipCheck(Runtime& runtime, const RuntimeError& why) {
    runtime.SetMousePointer(0);
    if (NamesAWebSite(runtime.WebHost()))
        std::fprintf(stderr, "pimbolet: update check skipped: %s\n", why.Description.c_str());
}
} // namespace

// The check for a newer version on the maker's web site, run once during the start-up.
void Form1::CheckForUpdate() {
    Services& s = services();
    const std::string UpdateFile = s.runtime.AppPath() + "\\cdata\\update.koz";
    s.runtime.SetMousePointer(11);
    s.runtime.DoEvents();

    UpdateOffer offer;
    try {
        if (s.files.Exists(UpdateFile)) s.files.Kill(UpdateFile);
        s.files.WriteBytes(UpdateFile, s.inet.OpenURL(MakerAddress(s.runtime, "/koz/update.koz")));
        s.runtime.SetMousePointer(0);
        if (!s.files.Exists(UpdateFile)) return;
        offer = ReadUpdateOffer(s.files.ReadLines(UpdateFile));
    } catch (const RuntimeError& e) {
        skipCheck(s.runtime, e);
        try {
            if (s.files.Exists(UpdateFile)) s.files.Kill(UpdateFile);
        } catch (const RuntimeError&) {
        }
        return;
    }

    const std::string CurrentVersion =
        std::to_string(s.runtime.Major()) + "." + std::to_string(s.runtime.Minor()) + Release;
    if (OffersNewVersion(offer, CurrentVersion) &&
        s.msgbox.MsgBox(UpdatePrompt(offer), mb::YesNo, "New Version!") == mb::Yes) {
        try {
            OpenWebPage(s.browser, WebBrowser, MakerAddress(s.runtime, "/koz/"));
            // The next start deletes the file left behind.
            s.runtime.End(EndStatus::Done);
        } catch (const RuntimeError& e) {
            if (e.Number > 0) s.msgbox.MsgBox(e.Description, mb::Critical, "Launch URL");
        }
    }
    try {
        s.files.Kill(UpdateFile);
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "pimbolet: the update file stays: %s\n", e.Description.c_str());
    }
}
