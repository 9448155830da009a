#include "forms.h"

#include "companions/About.h"
#include "companions/Form2.h"
#include "companions/popmenus.h"
#include "companions/splash.h"
#include "pet/Form1.h"
#include "pet/FormE.h"
#include "platform/timer.h"

Forms::Forms(Services& services) : m_services(services) {}

Forms::~Forms() {
    // Destroying the forms is not unloading them: no unload handler runs here.
    for (Window* w : loaded())
        w->hide();
}

std::vector<Window*> Forms::loaded() const {
    std::vector<Window*> windows;
    // The companions first, the pet last.
    for (Window* w : std::initializer_list<Window*>{m_popmenus.get(), m_formE.get(), m_splash.get(),
                                                    m_about.get(), m_form2.get(), m_form1.get()})
        if (w) windows.push_back(w);
    return windows;
}

template <class T> T& Forms::load(std::unique_ptr<T>& slot) {
    if (!slot) {
        // The instance is known before its load runs, so a load that refers back to its own
        // window (through another window) finds it and does not load it twice.
        slot = std::make_unique<T>(*this);
        slot->Form_Load();
    }
    return *slot;
}

Form1& Forms::form1() {
    return load(m_form1);
}
FormE& Forms::formE() {
    return load(m_formE);
}
Form2& Forms::form2() {
    return load(m_form2);
}
splash& Forms::splashBanner() {
    return load(m_splash);
}
About& Forms::about() {
    return load(m_about);
}
popmenus& Forms::popMenus() {
    return load(m_popmenus);
}

void Forms::stopTimers(Window* window) {
    for (Timer* t : window->findChildren<Timer*>())
        t->SetEnabled(false);
}

void Forms::StopAllTimers() {
    for (Window* w : loaded())
        stopTimers(w);
}

template <class T> bool Forms::unloadIf(std::unique_ptr<T>& slot, Window* window) {
    if (!slot || slot.get() != window) return false;
    slot->Form_Unload();
    // The window may be unloading itself from one of its own handlers: stop its timers now
    // and let the event loop destroy it once that handler has returned.
    T* w = slot.release();
    stopTimers(w);
    w->hide();
    w->deleteLater();
    return true;
}

void Forms::Unload(Window* window) {
    unloadIf(m_form1, window) || unloadIf(m_formE, window) || unloadIf(m_form2, window) ||
        unloadIf(m_splash, window) || unloadIf(m_about, window) || unloadIf(m_popmenus, window);
}
