#!/usr/bin/env bash
# A start with sound off and "Stay above" off, as the user left them: the pet is an ordinary
# window and stays silent for 20 s, tickled or not. The tray menu tells its age. An option
# changed in the dialog that is then only hidden is kept when the session ends (SIGTERM), which
# comes while "Run at Startup" is refused: that box is stored unticked.
# shellcheck source=harness.sh
source "$(dirname "$0")/harness.sh"
e2e_start_desktop

# Born 1 year, 2 months and 3 days ago at this time of day.
birth=$(python3 - <<'PY'
import calendar, datetime as dt
now = dt.datetime.now().replace(microsecond=0)
def add_months(d, n):
    m = d.month - 1 + n
    y, m = d.year + m // 12, m % 12 + 1
    return d.replace(year=y, month=m, day=min(d.day, calendar.monthrange(y, m)[1]))
def age(a, b):
    y = b.year - a.year - (add_months(a, 12 * (b.year - a.year)) > b)
    a = add_months(a, 12 * y)
    m = (b.year - a.year) * 12 + b.month - a.month
    m -= add_months(a, m) > b
    return y, m, (b - add_months(a, m)).days
print(next(b for b in (now - dt.timedelta(days=k) for k in range(380, 480))
           if age(b, now) == (1, 2, 3)).strftime("%Y-%m-%d %H:%M:%S"))
PY
)
store_settings "birth=$birth" "name=Bobo" "sound=0" "startup=0" "ontop=0"
start_recording "$E2E_ARTIFACTS/quiet.wav"
started=$(now_ms)
start_pet
pid=$E2E_LAST_PID
pet=$(wait_for_window Pimbolet 10) || die "the pet did not appear"
expect "the pet is not topmost" wait_until 2 not topmost "$pet"
open_ordinary_window 500 20 || die "no ordinary window"
expect "an ordinary window raised over the pet covers it" wait_until 2 is_above "$E2E_OTHER" "$pet"

pet_menu "$pet" >/dev/null || die "the pet menu did not open"
choose Down Return
sleep $(((20000 - ($(now_ms) - started)) / 1000 + 1))
stop_recording
expect "no sound in the first 20 s, though the pet was tickled" \
    not is_loud "$E2E_ARTIFACTS/quiet.wav"

tray_click "$pid" >/dev/null || die "the tray menu did not open"
choose Down Return
if box=$(wait_for_window "virtual pet Pimbolet" 5); then
    pass "\"Pimbolet's Age?\" shows the age of a pet born $birth"
    sleep 0.3
    screenshot age >/dev/null
    press_key "$box" Return
    wait_for_no_window "virtual pet Pimbolet" 3
else
    fail "\"Pimbolet's Age?\" showed nothing"
fi

tray_click "$pid" 3 >/dev/null || die "the tray menu did not open on the right button"
choose Down Down Down Return
dialog=$(wait_for_window "Version 4.1 beta" 5) || die "Options did not show the dialog"
click_twips "$dialog" 345 1440
expect "\"Sound\" is ticked again" box_ticked "$dialog" 240 1320
click_twips "$dialog" 1447 2047
expect "\"Close Window\" hides the dialog" wait_for_no_window "Version 4.1 beta" 3
expect "nothing is written yet" [ "$(setting sound)" = 0 ]

# The session ends while the refusal of "Run at Startup" waits for its answer.
tray_click "$pid" 3 >/dev/null || die "the tray menu did not open again"
choose Down Down Down Return
dialog=$(wait_for_window "Version 4.1 beta" 5) || die "Options did not show the dialog again"
click_twips "$dialog" 1305 1440
wait_for_window "Run at Startup" 5 >/dev/null || die "no refusal of \"Run at Startup\""
kill -TERM "$pid"
await_exit "$pid" 3
expect "the end of the session ends the program (status ${E2E_STATUS:-running})" [ "$E2E_STATUS" = 0 ]
expect "and the options are kept" [ "$(setting sound)" = 1 ]
expect "the name too" [ "$(setting name)" = Bobo ]
expect "\"Run at Startup\" is stored unticked ($(setting startup))" [ "$(setting startup)" = 0 ]
e2e_finish
