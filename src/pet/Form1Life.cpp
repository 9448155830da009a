#include "Form1.h"

#include "idleposes.h"
#include "lifecounters.h"
#include "platform/convert.h"
#include "platform/errors.h"

#include <algorithm>
#include <vector>

// The behaviour loop: one step of the pet's life per tick of Timer1.

namespace {
std::string PrefixOf(const std::string& state) {
    return state.substr(0, 7);
}

// The stride of frame 10, made by the loop itself when it skips that frame.
constexpr float kWrapStride = 190.0f;

// Only a pet that stands facing the user falls asleep, whatever time it has left.
bool FallsAsleep(const std::string& state, int16_t energy) {
    return energy <= 0 && state == "facing front";
}
} // namespace

void Form1::Timer1_Timer() {
    // A hidden pet (the egg has not hatched yet) does not live at all.
    if (!Visible()) return;

    lifecounters::Tick(ActionTicks, Energy, State == "sleeping", WakeLevel);

    if (FallsAsleep(State, Energy)) FallAsleep();

    if (ActionTicks < 1) Decide();

    // Requests and the walk's frame skipping wait for a tick with time left.
    if (ActionTicks > 0) {
        TakeRequest();
        StatePrefix = PrefixOf(State);
        if (StatePrefix == "walking") {
            if (FrameNo == 5) FrameNo = 6;
            if (FrameNo == 10) {
                FrameNo = 1;
                if (State == "walking right")
                    Move(Left() + kWrapStride, Top());
                else if (State == "walking left")
                    Move(Left() - kWrapStride, Top());
            }
        }
    }

    // Each test reads State afresh: a reaction that ends here has its end state drawn in the
    // same tick.
    if (State == "tickled right") TickleRight();
    if (State == "tickled left") TickleLeft();
    if (State == "tickled front") TickleFront();
    if (State == "slapped right") SlapRight();
    if (State == "slapped left") SlapLeft();
    if (State == "slapped front") SlapFront();

    if (State == "walking right")
        WalkRight();
    else if (State == "walking left")
        WalkLeft();
    else if (State == "facing front" || State == "facing right" || State == "facing left")
        DrawIdle();

    // Drift applies only to a walk, and never stops at a screen edge.
    if (State == "walking right" || State == "walking left") {
        if (VerticalDir == "upwards")
            Move(Left(), Top() - StepY);
        else if (VerticalDir == "downwards")
            Move(Left(), Top() + StepY);
    } else {
        VerticalDir = "none";
    }
}

void Form1::FallAsleep() {
    State = "sleeping";
    VerticalDir = "none";
    ShowCell(3);
    FrameNo = 0;
    Energy = 0;
    WakeLevel = static_cast<int16_t>(400 + Draw(300));
    ActionTicks = static_cast<int16_t>(10 + Draw(40));
}

void Form1::Decide() {
    StatePrefix = PrefixOf(State);
    if (StatePrefix == "walking") {
        // A walk only stops where its cycle allows: after its frame 5 or its frame 10.
        if (FrameNo == 1 || FrameNo == 6) DecideAfterWalk();
    } else if (State == "facing front") {
        Choice = Draw(3);
        if (Choice == 1 && RoomToRight()) {
            StartWalk("walking right");
        } else if (Choice == 2 && RoomToLeft()) {
            StartWalk("walking left");
        }
        // Otherwise the time stays out and the draw is made again next tick.
    } else if (State == "sleeping") {
        FrameNo = 1;
        State = "facing front";
        ActionTicks = static_cast<int16_t>(20 + Draw(50));
        VerticalDir = "none";
    } else if (State == "facing right") {
        Choice = Draw(2);
        if (Choice == 1 && RoomToRight()) {
            StartWalk("walking right");
        } else {
            State = "facing front";
            VerticalDir = "none";
            ActionTicks = static_cast<int16_t>(20 + Draw(50));
        }
    } else if (State == "facing left") {
        Choice = Draw(2);
        if (Choice == 1 && RoomToLeft()) {
            StartWalk("walking left");
        } else {
            State = "facing front";
            VerticalDir = "none";
            ActionTicks = static_cast<int16_t>(10 + Draw(40));
        }
    }
    // A reaction ends by itself; nothing is decided while it runs.
}

void Form1::StartWalk(const char* walk) {
    // The new walk's drift is chosen before its time is drawn.
    State = walk;
    ChooseVertical();
    ActionTicks = static_cast<int16_t>(20 + Draw(50));
}

void Form1::DecideAfterWalk() {
    // Attempts repeat until the pet does something other than the walk it just finished.
    LastState = State;
    do {
        Choice = static_cast<int16_t>(1 + Draw(5));
        ActionTicks = static_cast<int16_t>(20 + Draw(50));
        switch (Choice) {
        case 1:
            State = "facing front";
            VerticalDir = "none";
            break;
        case 2:
            if (RoomToRight()) {
                State = "walking right";
                ChooseVertical();
            }
            break;
        case 3:
            if (RoomToLeft()) {
                State = "walking left";
                ChooseVertical();
            }
            break;
        default:
            if (LastState == "walking right")
                State = "facing right";
            else if (LastState == "walking left")
                State = "facing left";
            LastState = "cleared";
            VerticalDir = "none";
            break;
        }
    } while (State == LastState);
}

void Form1::TakeRequest() {
    if (Interaction <= 0) return;
    if (Interaction == 1) {
        if (State == "facing right" || State == "walking right")
            State = "tickled right";
        else if (State == "facing left" || State == "walking left")
            State = "tickled left";
        else if (State == "facing front")
            State = "tickled front";
    } else if (Interaction == 2) {
        if (State == "facing right" || State == "walking right")
            State = "slapped right";
        else if (State == "facing left" || State == "walking left")
            State = "slapped left";
        else if (State == "facing front" || State == "sleeping")
            State = "slapped front";
        // Slaps count while the pet is tired, whatever they did to it; the third wakes it up
        // for good.
        if (Energy < WakeLevel) {
            SlapCount = static_cast<int16_t>(SlapCount + 1);
            if (SlapCount > 2) {
                Energy = static_cast<int16_t>(300 + Draw(300));
                SlapCount = 0;
            }
        }
    }
    // A request during a reaction starts that reaction over.
    FrameNo = 1;
    Interaction = 0;
}

void Form1::DrawIdle() {
    // Mostly the plain pose; now and then another one for a tick, some with a remark.
    const IdlePoses& poses = *IdlePoses::Of(State);
    Choice = static_cast<int16_t>(1 + Draw(poses.Count));
    ShowCell(poses.CellFor(Choice));
    if (poses.Speaks(Choice)) {
        std::string remark;
        PlaySound(remark);
    }
}

bool Form1::RoomToRight() const {
    const float limit = services().runtime.ScreenWidth() - 2 * Width();
    return Left() < limit;
}

bool Form1::RoomToLeft() const {
    return 2 * Width() < Left();
}

int Form1::QuietTicksAhead() const {
    // Follows Timer1_Timer for the states whose ticks may leave everything as it is. Anything
    // not followed here (a decision, a request, a state's end) ends the quiet ticks.
    constexpr int kMost = Timer::kMostQuiet;
    if (!Visible() || Interaction > 0 || ActionTicks < 1) return 0;
    const bool sleeping = State == "sleeping";
    const IdlePoses* poses = IdlePoses::Of(State);
    if (!sleeping && !poses) return 0;
    // Each tick of a standing pet draws its pose; the plain one again shows nothing new.
    if (poses && m_shownCell != poses->Plain) return 0;
    const std::vector<float> draws =
        poses ? services().random.Upcoming(kMost) : std::vector<float>();
    int16_t actionTicks = ActionTicks;
    int16_t energy = Energy;
    int quiet = 0;
    while (quiet < kMost) {
        try {
            lifecounters::Tick(actionTicks, energy, sleeping, WakeLevel);
        } catch (const RuntimeError&) {
            break; // beyond what the counters hold
        }
        if (actionTicks < 1) break; // time to decide
        if (FallsAsleep(State, energy)) break;
        if (poses) {
            if (quiet >= static_cast<int>(draws.size())) break;
            const auto choice =
                static_cast<int16_t>(1 + convert::Draw(draws[size_t(quiet)], poses->Count));
            if (!poses->IsPlain(choice)) break; // another pose
        }
        ++quiet;
    }
    return quiet;
}
