#include "companions/splash.h"
#include "pet/updatefile.h"
#include "pet_fixture.h"
#include "platform/web.h"

namespace {
const std::string kUpdateFile = "/opt/pimbolet/cdata/update.koz";
const std::string kQuestion = "\r\n\r\nWould you like to download it now?";

std::vector<uint8_t> bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// The program's files, whose reads can be made to fail.
class Files : public FakeFiles {
  public:
    std::vector<std::string> ReadLines(const std::string& path) override {
        if (failReads) throw RuntimeError(errnum::PermissionDenied, "Permission denied: " + path);
        return FakeFiles::ReadLines(path);
    }
    bool failReads = false;
};
} // namespace

TEST(UpdateFile, FirstLineIsTheVersionAndTheRestAreNotes) {
    struct Row {
        std::vector<std::string> lines;
        bool offered;
        std::string prompt;
    };
    const std::vector<Row> rows = {
        {{"4.1 beta"}, false, ""},
        {{"4.1 beta", "a note"}, false, ""},
        {{"4.1 Beta"}, true, "Version 4.1 Beta is available now" + kQuestion},
        {{}, false, ""},
        {{"", "notes without a version"}, false, ""},
        {{"4.2 beta"}, true, "Version 4.2 beta is available now" + kQuestion},
        {{"4.2 beta", "Better walking", "", "<b>not markup</b>"},
         true,
         "Version 4.2 beta is available now\r\nBetter walking\r\n\r\n<b>not markup</b>" +
             kQuestion},
    };
    for (const Row& row : rows) {
        const UpdateOffer offer = ReadUpdateOffer(row.lines);
        EXPECT_EQ(OffersNewVersion(offer, "4.1 beta"), row.offered) << offer.LatestVersion;
        if (row.offered) {
            EXPECT_EQ(UpdatePrompt(offer), row.prompt);
        }
    }
}

// The lines as the files service gives them: ended at CR or CR LF, a line feed left inside.
TEST(UpdateFile, LineFeedsByteOrderMarkAndTrailingSpaceOfferNothingNew) {
    struct Row {
        std::vector<std::string> lines;
        std::string version;
        std::string notes;
        bool offered;
    };
    const std::string bom = "\xEF\xBB\xBF";
    const std::vector<Row> rows = {
        {{"4.1 beta\n"}, "4.1 beta", "", false},
        {{"4.1 beta\nBetter walking\n"}, "4.1 beta", "\r\nBetter walking", false},
        {{"4.1 beta\n\nafter an empty line"}, "4.1 beta", "\r\n\r\nafter an empty line", false},
        {{"4.1 beta\nmixed", "ends\n"}, "4.1 beta", "\r\nmixed\r\nends", false},
        {{bom + "4.1 beta"}, "4.1 beta", "", false},
        {{bom + "4.1 beta\n"}, "4.1 beta", "", false},
        {{bom}, "", "", false},
        {{"4.1 beta "}, "4.1 beta", "", false},
        {{"4.1 beta\t", "note "}, "4.1 beta", "\r\nnote ", false},
        {{"4.1 beta \t \n"}, "4.1 beta", "", false},
        {{"\t ", "notes without a version"}, "", "\r\nnotes without a version", false},
        {{" 4.1 beta"}, " 4.1 beta", "", true},
        {{"x" + bom + "4.1 beta"}, "x" + bom + "4.1 beta", "", true},
        {{"4.2 beta\n"}, "4.2 beta", "", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.lines.front());
        const UpdateOffer offer = ReadUpdateOffer(row.lines);
        EXPECT_EQ(offer.LatestVersion, row.version);
        EXPECT_EQ(offer.Notes, row.notes);
        EXPECT_EQ(OffersNewVersion(offer, "4.1 beta"), row.offered);
    }
}

// What breaks a line in the message box (the Unicode line and paragraph separators, and the two
// characters Qt's text takes for a frame's edges) ends a line of the file as a line feed does.
TEST(UpdateFile, CharactersThatBreakALineInTheMessageEndALine) {
    const std::string lineSeparator = "\xE2\x80\xA8", paragraphSeparator = "\xE2\x80\xA9";
    const std::string frameStart = "\xEF\xB7\x90", frameEnd = "\xEF\xB7\x91";
    const struct {
        std::vector<std::string> lines;
        std::string version;
        std::string notes;
    } rows[] = {
        {{"4.1 beta" + lineSeparator + "Better walking"}, "4.1 beta", "\r\nBetter walking"},
        {{"4.2 beta" + paragraphSeparator}, "4.2 beta", ""},
        {{"4.2 beta", "one" + paragraphSeparator + "two"}, "4.2 beta", "\r\none\r\ntwo"},
        {{"4.2 beta", "a" + frameStart + "b" + frameEnd + "c"}, "4.2 beta", "\r\na\r\nb\r\nc"},
        {{"4.2 beta", "x" + lineSeparator, "y"}, "4.2 beta", "\r\nx\r\n\r\ny"},
        {{"4.2 beta", lineSeparator + lineSeparator + "z"}, "4.2 beta", "\r\n\r\n\r\nz"},
        // Bytes that only look like a separator's are text.
        {{"4.2 beta", "\xE2\x80\xA7\xE2\x80"}, "4.2 beta", "\r\n\xE2\x80\xA7\xE2\x80"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lines.back());
        const UpdateOffer offer = ReadUpdateOffer(row.lines);
        EXPECT_EQ(offer.LatestVersion, row.version);
        EXPECT_EQ(offer.Notes, row.notes);
    }
}

// However long the file, the message stays short enough for its buttons to be on the screen.
TEST(UpdateFile, MessageShowsNoMoreNotesThanFitThenAnEllipsis) {
    const auto file = [](size_t notes, const std::string& note) {
        std::vector<std::string> lines = {"4.2 beta"};
        lines.resize(notes + 1, note);
        return lines;
    };
    const auto noteLines = [](const UpdateOffer& offer) {
        std::vector<std::string> lines;
        for (size_t at = 0; (at = offer.Notes.find("\r\n", at)) != std::string::npos;) {
            at += 2;
            lines.push_back(offer.Notes.substr(at, offer.Notes.find("\r\n", at) - at));
        }
        return lines;
    };
    const std::string longest(kLongestShownLine, 'n');
    const std::string cutInCharacter =
        std::string(kLongestShownLine - 4, 'n') + "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";
    const auto times = [](size_t count, const std::string& text) {
        std::string all;
        for (size_t i = 0; i < count; ++i)
            all += text;
        return all;
    };
    const std::string e = "\xC3\xA9", han = "\xE6\xBC\xA2", clef = "\xF0\x9D\x84\x9E";
    // Qt shows each byte of a broken sequence as a character of its own.
    const std::string broken = "\x80";
    const std::string separated = times(40, "x\xE2\x80\xA8");
    const struct {
        std::vector<std::string> lines;
        size_t shown;
        std::string last;
    } rows[] = {
        {file(kShownNoteLines, "note"), kShownNoteLines, "note"},
        {file(kShownNoteLines + 1, "note"), kShownNoteLines + 1, "..."},
        {file(10000, "note"), kShownNoteLines + 1, "..."},
        {{"4.2 beta\n" + std::string(1 << 20, '\n')}, kShownNoteLines + 1, "..."},
        {file(1, longest), 1, longest},
        {file(1, longest + "n"), 1, std::string(kLongestShownLine - 3, 'n') + "..."},
        {file(1, std::string(1 << 20, 'n')), 1, std::string(kLongestShownLine - 3, 'n') + "..."},
        {file(1, cutInCharacter), 1, std::string(kLongestShownLine - 4, 'n') + "\xC3\xA9..."},
        {file(1, times(kLongestShownLine, e)), 1, times(kLongestShownLine, e)},
        {file(1, times(kLongestShownLine + 1, e)), 1, times(kLongestShownLine - 3, e) + "..."},
        {file(1, times(kLongestShownLine + 1, han)), 1, times(kLongestShownLine - 3, han) + "..."},
        {file(1, times(kLongestShownLine, clef)), 1, times(kLongestShownLine, clef)},
        {file(1, times(1 << 20, broken)), 1, times(kLongestShownLine - 3, broken) + "..."},
        {file(1, separated), kShownNoteLines + 1, "..."},
        {file(10, separated), kShownNoteLines + 1, "..."},
        {file(10, times(40, "\xE2\x80\xA9")), kShownNoteLines + 1, "..."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lines.size());
        const UpdateOffer offer = ReadUpdateOffer(row.lines);
        const std::vector<std::string> shown = noteLines(offer);
        ASSERT_EQ(shown.size(), row.shown);
        EXPECT_EQ(shown.back(), row.last);
    }
    UpdateOffer huge;
    huge.LatestVersion = std::string(10000, '9');
    EXPECT_EQ(UpdatePrompt(huge), "Version " + std::string(kLongestShownLine - 3, '9') +
                                      "... is available now" + kQuestion)
        << "the version shown is cut as a note is; the whole of it is compared";
    EXPECT_TRUE(OffersNewVersion(huge, "4.1 beta"));
}

// A later-run pet started on the fakes, its files able to fail.
struct Startup {
    Startup() {
        files.AddWaves(p.runtime.appPath);
        p.settings.Set("birth", "2025-01-02 03:04:05");
    }
    // Runs the start-up with the update file the site offers; false when the program ended.
    bool Start(const std::string& offered) {
        p.inet.body = bytes(offered);
        try {
            forms.form1();
            return true;
        } catch (const ProgramEnded&) {
            return false;
        }
    }
    bool UpdateFileThere() const { return files.files.count(kUpdateFile) != 0; }
    // The start-up went on after the check: the pet walks in.
    bool PetStarted() { return forms.Form1Loaded() && forms.form1().Visible(); }

    FakePlatform p;
    Files files;
    Services services{p.runtime, p.clock, p.random,  files,  p.settings, p.msgbox,
                      p.sound,   p.inet,  p.browser, p.tray, p.stacking, p.display};
    Forms forms{services};
};

class UpdateCheck : public ::testing::Test, public Startup {};

TEST_F(UpdateCheck, SameVersionStartsThePetWithoutAWord) {
    ASSERT_TRUE(Start("4.1 beta\r\n"));
    EXPECT_EQ(p.inet.urls, std::vector<std::string>{"http://maker.test/koz/update.koz"});
    EXPECT_TRUE(p.msgbox.shown.empty());
    EXPECT_FALSE(UpdateFileThere());
    EXPECT_TRUE(PetStarted());
    EXPECT_EQ(p.runtime.pointers, (std::vector<int>{11, 0})) << "the hourglass, then back";
    EXPECT_GE(p.runtime.doEvents, 1) << "the banner is drawn before the download";
    EXPECT_TRUE(forms.SplashLoaded()) << "the banner is up first";
}

TEST_F(UpdateCheck, NewVersionIsOfferedWithItsNotes) {
    ASSERT_TRUE(Start("4.2 beta\r\nBetter walking\r\nNew sounds"));
    ASSERT_EQ(p.msgbox.shown.size(), 1u);
    EXPECT_EQ(p.msgbox.shown[0].prompt,
              "Version 4.2 beta is available now\r\nBetter walking\r\nNew sounds" + kQuestion);
    EXPECT_EQ(p.msgbox.shown[0].style, mb::YesNo);
    EXPECT_EQ(p.msgbox.shown[0].caption, "New Version!");
}

TEST_F(UpdateCheck, NoDeletesTheFileAndTheStartGoesOn) {
    p.msgbox.answers = {mb::No};
    ASSERT_TRUE(Start("4.2 beta\r\n"));
    EXPECT_EQ(p.msgbox.shown.size(), 1u);
    EXPECT_FALSE(UpdateFileThere());
    EXPECT_EQ(p.browser.created, 0);
    EXPECT_TRUE(PetStarted());
}

TEST_F(UpdateCheck, YesOpensTheDownloadPageAndEndsBeforeThePetShows) {
    p.settings.values.clear(); // a first run: the egg would come next
    p.msgbox.answers = {mb::Yes};
    EXPECT_FALSE(Start("4.2 beta\r\n"));
    EXPECT_EQ(p.browser.navigated, std::vector<std::string>{"http://maker.test/koz/"});
    EXPECT_EQ(p.runtime.endStatus, 0);
    EXPECT_FALSE(forms.FormELoaded());
    EXPECT_FALSE(p.settings.Has("birth")) << "the next start is a first run again";
    EXPECT_TRUE(UpdateFileThere()) << "left for the next start to delete";
}

TEST_F(UpdateCheck, YesWithoutABrowserTellsWhyWhenTheNumberIsPositive) {
    for (const int number : {429, -2147467259}) {
        FakePlatform q;
        q.settings.Set("birth", "2025-01-02 03:04:05");
        q.inet.body = bytes("4.2 beta");
        q.msgbox.answers = {mb::Yes};
        q.browser.failNavigateWith = number;
        Forms f(q.services);
        ASSERT_NO_THROW(f.form1()) << number;
        EXPECT_TRUE(f.form1().Visible()) << number;
        EXPECT_FALSE(q.files.Exists(kUpdateFile)) << number;
        if (number > 0) {
            ASSERT_EQ(q.msgbox.shown.size(), 2u);
            EXPECT_EQ(q.msgbox.shown[1].prompt,
                      "The browser could not open http://maker.test/koz/");
            EXPECT_EQ(q.msgbox.shown[1].style, mb::Critical);
            EXPECT_EQ(q.msgbox.shown[1].caption, "Launch URL");
        } else {
            EXPECT_EQ(q.msgbox.shown.size(), 1u) << number;
        }
    }
}

TEST_F(UpdateCheck, StaleFileIsDeletedBeforeTheDownload) {
    files.files[kUpdateFile] = bytes("9.9 old\r\n");
    p.inet.failWith = 35754;
    ASSERT_TRUE(Start(""));
    EXPECT_FALSE(UpdateFileThere());
    EXPECT_TRUE(p.msgbox.shown.empty());
}

// Whatever keeps the check from its answer, the pet starts: no message, the pointer back to
// normal, one line on standard error that says why.
TEST_F(UpdateCheck, FailuresSkipTheCheckQuietly) {
    struct Row {
        const char* what;
        std::function<void(Startup&)> breakIt;
        std::string why;
    };
    const std::vector<Row> rows = {
        {"failed download", [](Startup& t) { t.p.inet.failWith = 35761; },
         "Unable to connect to remote host"},
        {"folder that cannot be written", [](Startup& t) { t.files.failWrites = true; },
         "Path/File access error"},
        {"file that cannot be read back", [](Startup& t) { t.files.failReads = true; },
         "Permission denied"},
    };
    for (const Row& row : rows) {
        Startup t;
        row.breakIt(t);
        testing::internal::CaptureStderr();
        const bool started = t.Start("4.2 beta\r\n");
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(started) << row.what;
        EXPECT_TRUE(t.PetStarted()) << row.what;
        EXPECT_TRUE(t.p.msgbox.shown.empty()) << row.what;
        EXPECT_EQ(t.p.runtime.pointers.back(), 0) << row.what;
        EXPECT_FALSE(t.UpdateFileThere()) << row.what;
        EXPECT_NE(err.find("update check skipped: " + row.why), std::string::npos)
            << row.what << ": " << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << row.what << ": " << err;
    }
}

namespace {
TEST(MakerSite, HostsUnderTheReservedInvalidDomainNameNoSite) {
    for (const auto& [host, named] : std::vector<std::pair<std::string, bool>>{
             {"pimbolet.invalid", false},
             {"Pimbolet.INVALID.", false},
             {"pimbolet.invalid:8080", false},
             {"invalid", false},
             {"maker.test", true},
             {"127.0.0.1:8000", true},
             {"[::1]:8000", true},
             {"notinvalid", true},
             {"invalid.example", true},
         })
        EXPECT_EQ(NamesAWebSite(host), named) << host;
}

// A failing check against a named site says why in one line (above); a build that names no
// site skips the check without a word, whatever the transfer answers.
TEST(UpdateCheckWithoutSite, SkipsWithoutAWord) {
    Startup t;
    t.p.runtime.webHost = "pimbolet.invalid";
    t.p.inet.failWith = 35761;
    t.p.inet.failDescription = "Host not found (http://pimbolet.invalid/koz/update.koz)";
    testing::internal::CaptureStderr();
    ASSERT_TRUE(t.Start("4.2 beta\r\n"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(t.PetStarted());
    EXPECT_TRUE(t.p.msgbox.shown.empty());
    EXPECT_EQ(t.p.runtime.pointers.back(), 0);
}
} // namespace
