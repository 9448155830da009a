#include "pet_fixture.h"

#include "companions/Form2.h"
#include "companions/splash.h"
#include "pet/FormE.h"
#include "platform/timer.h"

namespace {
constexpr float kPetSize = 2646; // a 100-pixel cell in HIMETRIC, taken as twips

const std::vector<std::string> kWaves = {"say1",  "say2",  "say3",  "say4", "pain1",
                                         "pain2", "pain3", "pain4", "laugh"};
} // namespace

TEST_F(PetTest, FirstRunShowsTheEggAndStoresTheBirthAtOnce) {
    p.clock.now = datetime::FromParts({2026, 12, 7, 14, 3, 22});
    ASSERT_TRUE(Start());
    EXPECT_TRUE(forms.FormELoaded());
    EXPECT_TRUE(forms.formE().Visible());
    EXPECT_FALSE(pet().Visible());
    EXPECT_EQ(p.settings.Get("birth"), "2026-12-07 14:03:22");
    EXPECT_EQ(pet().BirthDate, p.clock.now);
    EXPECT_EQ(pet().State, "facing front");
    EXPECT_EQ(pet().ActionTicks, 40);
    EXPECT_EQ(pet().Choice, 0);
    EXPECT_EQ(pet().FrameNo, 1);
    EXPECT_EQ(pet().VerticalDir, "none");
    EXPECT_EQ(pet().Release, " beta");
}

TEST_F(PetTest, EggTakesItsSizeFromThePetsPicture) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(pet().Width(), kPetSize);
    EXPECT_EQ(pet().Height(), kPetSize);
    EXPECT_EQ(forms.formE().Width(), kPetSize);
    EXPECT_EQ(forms.formE().Height(), kPetSize);
}

TEST_F(PetTest, ZeroDateBirthCountsAsFirstRunAndIsOverwritten) {
    p.settings.Set("birth", "1899-12-30 00:00:00");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(forms.FormELoaded());
    EXPECT_NE(p.settings.Get("birth"), "1899-12-30 00:00:00");
}

class LaterRun : public PetTest {
  protected:
    void SetUp() override { p.settings.Set("birth", "2025-01-02 03:04:05"); }
};

TEST_F(LaterRun, WalkingRightStartsWhollyLeftOfTheScreen) {
    for (const float r : {0.0f, 0.99999994f}) {
        FakePlatform q;
        q.settings.Set("birth", "2025-01-02 03:04:05");
        q.random.script = {0.25f /* Choice 1 */, r /* height */};
        Forms f(q.services);
        f.form1();
        Form1& pet = f.form1();
        EXPECT_TRUE(pet.Visible());
        EXPECT_EQ(pet.Choice, 1);
        EXPECT_EQ(pet.State, "walking right");
        EXPECT_EQ(pet.ActionTicks, 80);
        EXPECT_EQ(pet.Left(), -kPetSize);
        EXPECT_GE(pet.Top(), 2295);
        EXPECT_LT(pet.Top(), 2295 + q.runtime.screenHeight - 2 * kPetSize);
        EXPECT_EQ(pet.Top(), std::floor((q.runtime.screenHeight - 2 * kPetSize) * r) + 2295);
        EXPECT_FALSE(f.FormELoaded());
    }
}

TEST_F(LaterRun, WalkingLeftStartsWhollyRightOfTheScreen) {
    p.random.script = {0.75f, 0.5f};
    ASSERT_TRUE(Start());
    EXPECT_EQ(pet().Choice, 2);
    EXPECT_EQ(pet().State, "walking left");
    EXPECT_EQ(pet().Left(), p.runtime.screenWidth);
    EXPECT_EQ(pet().Top(), std::floor((p.runtime.screenHeight - kPetSize) * 0.5f));
    EXPECT_EQ(pet().BirthDate, datetime::FromParts({2025, 1, 2, 3, 4, 5}));
    EXPECT_EQ(p.settings.saved.size(), 0u) << "a later run writes nothing";
}

TEST_F(LaterRun, EnergyStartsBetween200And399) {
    for (const auto& [r, energy] :
         std::vector<std::pair<float, int>>{{0.0f, 200}, {0.99999994f, 399}}) {
        FakePlatform q;
        q.settings.Set("birth", "2025-01-02 03:04:05");
        q.random.script = {0.0f, 0.0f, r};
        Forms f(q.services);
        EXPECT_EQ(f.form1().Energy, energy);
    }
}

TEST_F(PetTest, MissingWaveEndsBeforeTheSingleInstanceTest) {
    p.files.files.erase(FakeFiles::Normal(p.runtime.appPath + "/cdata/pain3.wav"));
    p.files.failingLookups.insert(p.runtime.appPath + "/cdata/say2.wav");
    p.runtime.otherCopyRunning = true;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Start());
    // The box keeps its one sentence; the terminal learns which files and where.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "pimbolet: required files are missing from " +
                                                          p.runtime.appPath +
                                                          "/cdata: say2.wav, pain3.wav\n");
    ASSERT_EQ(p.msgbox.shown.size(), 1u);
    EXPECT_EQ(p.msgbox.shown[0].prompt, "Required files are missing");
    EXPECT_EQ(p.msgbox.shown[0].caption, "Load Error");
    EXPECT_EQ(p.msgbox.shown[0].style, 16);
    EXPECT_EQ(p.runtime.prevInstanceCalls, 0);
    EXPECT_EQ(p.runtime.endStatus, 1) << "a refused start is a failure to the caller";
    ASSERT_EQ(p.files.lookedUp.size(), 9u);
    for (size_t i = 0; i < kWaves.size(); ++i)
        EXPECT_EQ(p.files.lookedUp[i], p.runtime.appPath + "/cdata/" + kWaves[i] + ".wav");
    EXPECT_TRUE(p.tray.calls.empty());
}

TEST_F(PetTest, SecondCopyIsRefusedBeforeTheBanner) {
    p.runtime.otherCopyRunning = true;
    EXPECT_FALSE(Start());
    ASSERT_EQ(p.msgbox.shown.size(), 1u);
    EXPECT_EQ(p.msgbox.shown[0].prompt, "Virtual Pet Pimbolet is Already Running!");
    EXPECT_EQ(p.msgbox.shown[0].caption, "KOZ - Already Running");
    EXPECT_EQ(p.msgbox.shown[0].style, 16);
    EXPECT_FALSE(forms.SplashLoaded());
    EXPECT_TRUE(p.settings.saved.empty());
    EXPECT_EQ(p.runtime.endStatus, 0) << "the pet asked for is running";
}

TEST_F(PetTest, BirthTextThatIsNoDateEndsWithTheErrorMessage) {
    p.settings.Set("birth", "3/1/2000 10:15:42 PM");
    EXPECT_FALSE(Start());
    ASSERT_EQ(p.msgbox.shown.size(), 1u);
    const auto& m = p.msgbox.shown[0];
    EXPECT_EQ(m.prompt.rfind("Oh Dear, and error has occured.\r\n", 0), 0u);
    EXPECT_NE(m.prompt.find("3/1/2000 10:15:42 PM"), std::string::npos);
    EXPECT_EQ(m.style, 0);
    EXPECT_EQ(m.caption, "");
    EXPECT_EQ(p.runtime.endStatus, 1);
    EXPECT_FALSE(forms.FormELoaded());
    EXPECT_EQ(p.settings.Get("birth"), "3/1/2000 10:15:42 PM") << "the stored text is kept";
}

TEST_F(PetTest, StoreThatCannotBeReadEndsTheStartAndIsNoFirstRun) {
    p.settings.Set("birth", "2025-01-02 03:04:05");
    p.settings.failReads = "Path/File access error: cannot read /home/u/.config/pimbolet/"
                           "virtual pet Pimbolet.ini (Too many open files)";
    EXPECT_FALSE(Start());
    ASSERT_EQ(p.msgbox.shown.size(), 1u);
    EXPECT_EQ(p.msgbox.shown[0].prompt,
              "Oh Dear, and error has occured.\r\n" + p.settings.failReads);
    EXPECT_FALSE(forms.FormELoaded()) << "no egg";
    EXPECT_TRUE(p.settings.saved.empty()) << "no birth written";
    EXPECT_EQ(p.runtime.endStatus, 1);
}

TEST_F(PetTest, FailedStartHoldsEverythingStillWhileItsMessageWaits) {
    // The egg and the banner are up when the birth date cannot be stored.
    p.settings.failSaves = "Path/File access error: cannot make /home/u/.config/pimbolet";
    p.sound.fileName = "/opt/pimbolet/cdata/say1.wav"; // as if a sound had been given
    EXPECT_FALSE(Start());
    ASSERT_EQ(p.msgbox.shown.size(), 1u);
    EXPECT_EQ(p.msgbox.shown[0].prompt,
              "Oh Dear, and error has occured.\r\n" + p.settings.failSaves);
    ASSERT_TRUE(forms.FormELoaded());
    ASSERT_TRUE(forms.SplashLoaded());
    for (Window* w : std::initializer_list<Window*>{&pet(), &forms.formE(), &forms.splashBanner()})
        for (const Timer* t : w->findChildren<Timer*>())
            EXPECT_FALSE(t->Enabled()) << w->windowTitle().toStdString();
    EXPECT_EQ(p.sound.commands, std::vector<std::string>{"Close"});
    EXPECT_EQ(p.runtime.endStatus, 1);
}

// The start-up makes the pet topmost; the options dialog's load then applies the stored box,
// so the pet's stacking always matches it.
std::vector<HWND> PetStacking(const FakeWindowStacking& stacking, HWND pet) {
    std::vector<HWND> after;
    for (const auto& c : stacking.calls) {
        EXPECT_EQ(c.flags, 3u);
        EXPECT_EQ(c.x + c.y + c.cx + c.cy, 0);
        if (c.hwnd == pet) after.push_back(c.insertAfter);
    }
    return after;
}

TEST_F(PetTest, StoredOntopOffTakesThePetOutOfTheTopmostBand) {
    p.settings.Set("ontop", "0");
    ASSERT_TRUE(Start());
    EXPECT_EQ(PetStacking(p.stacking, pet().hWnd()),
              (std::vector<HWND>{swp::Topmost, swp::NoTopmost}));
    EXPECT_EQ(forms.form2().Check3.Value(), 0);
}

TEST_F(PetTest, OntopOptionOnAppliesStayOnTopOnceMore) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(PetStacking(p.stacking, pet().hWnd()),
              (std::vector<HWND>{swp::Topmost, swp::Topmost}));
}

TEST_F(PetTest, TrayIconRecordCarriesTitleAndCallback) {
    ASSERT_TRUE(Start());
    ASSERT_EQ(p.tray.calls.size(), 1u);
    const auto& call = p.tray.calls[0];
    EXPECT_EQ(call.message, nim::Add);
    const auto& r = call.record;
    const auto u32 = [&](size_t at) {
        return r[at] | r[at + 1] << 8 | r[at + 2] << 16 | static_cast<uint32_t>(r[at + 3]) << 24;
    };
    EXPECT_EQ(u32(0), 88u);
    EXPECT_EQ(u32(4), pet().hWnd());
    EXPECT_EQ(u32(8), 1u);
    EXPECT_EQ(u32(12), 7u);
    EXPECT_EQ(u32(16), 0x200u);
    EXPECT_NE(u32(20), 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r[24])), "virtual pet Pimbolet");
    EXPECT_EQ(r[24 + 20], 0);
    EXPECT_EQ(r[87], ' ');
}

TEST_F(PetTest, StoredStartupOneIsRefusedWhileTheDialogLoads) {
    p.settings.Set("startup", "1");
    ASSERT_TRUE(Start());
    ASSERT_EQ(p.msgbox.shown.size(), 1u);
    EXPECT_EQ(p.msgbox.shown[0].prompt, "This feature is not available yet");
    EXPECT_EQ(p.msgbox.shown[0].caption, "Run at Startup");
    EXPECT_EQ(p.msgbox.shown[0].style, 64);
    EXPECT_EQ(forms.form2().Check2.Value(), 0);
}

TEST_F(PetTest, ShapeIsExactlyTheNonMagentaPixelsOfCellOne) {
    ASSERT_TRUE(Start());
    const QImage cell = pet().cplate.GraphicCell(1).Image();
    QRegion expected;
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x)
            if ((cell.pixel(x, y) & 0xffffff) != 0xff00ff) expected += QRect(x, y, 1, 1);
    EXPECT_EQ(pet().Shape(), expected);
    EXPECT_EQ(pet().GetPicture().Key(), pet().cplate.GraphicCell(1).Key());
}
